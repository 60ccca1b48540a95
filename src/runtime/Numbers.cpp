#include "runtime/Numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>
#include <string>

#include "runtime/RuntimeError.h"

namespace rt {

namespace {

double RoundHalfEven(double value) {
  if (std::isnan(value)) Raise(ErrOverflow);
  return std::nearbyint(value);  // the default rounding mode is to nearest, ties to even
}

template <typename T>
T ConvertRounded(double value) {
  const double r = RoundHalfEven(value);
  if (r < static_cast<double>(std::numeric_limits<T>::min()) ||
      r > static_cast<double>(std::numeric_limits<T>::max()))
    Raise(ErrOverflow);
  return static_cast<T>(r);
}

template <typename T>
T ClampRounded(double value) {
  if (std::isnan(value)) return 0;
  const double r = std::nearbyint(value);
  if (r <= static_cast<double>(std::numeric_limits<T>::min())) return std::numeric_limits<T>::min();
  if (r >= static_cast<double>(std::numeric_limits<T>::max())) return std::numeric_limits<T>::max();
  return static_cast<T>(r);
}

QString WithBlankUnlessNegative(const QString& text) {
  return text.startsWith(QLatin1Char('-')) ? text : QLatin1Char(' ') + text;
}

// "0.5" -> ".5", "-0.5" -> "-.5".
std::string WithoutLeadingZero(std::string text) {
  const size_t digit = text[0] == '-' ? 1 : 0;
  if (text.size() > digit + 1 && text[digit] == '0' && text[digit + 1] == '.') text.erase(digit, 1);
  return text;
}

bool IsBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

class NumberScanner {
 public:
  explicit NumberScanner(const QString& text) : text_(text) {}

  // Collects the longest prefix that forms a decimal number, blanks left out.
  std::string Scan() {
    Accept("+-");
    const bool intDigits = Digits();
    bool fracDigits = false;
    if (Accept(".")) fracDigits = Digits();
    if (!intDigits && !fracDigits) return {};
    const std::string mantissa = out_;
    const int mark = pos_;
    if (Accept("eE")) {
      Accept("+-");
      if (!Digits()) {
        out_ = mantissa;
        pos_ = mark;
      }
    }
    return out_;
  }

 private:
  void SkipBlanks() {
    while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
  }
  bool Accept(const char* set) {
    SkipBlanks();
    if (pos_ >= text_.size()) return false;
    const QChar c = text_[pos_];
    for (const char* p = set; *p; ++p) {
      if (c == QLatin1Char(*p)) {
        out_ += *p == 'E' ? 'e' : *p;
        ++pos_;
        return true;
      }
    }
    return false;
  }
  bool Digits() {
    bool any = false;
    while (Accept("0123456789")) any = true;
    return any;
  }

  const QString& text_;
  qsizetype pos_ = 0;
  std::string out_;
};

double ParseCLocale(const std::string& number) {
  static const locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", nullptr);
  return strtod_l(number.c_str(), nullptr, cLocale);
}

}  // namespace

int16_t CInt(double value) { return ConvertRounded<int16_t>(value); }
int32_t CLng(double value) { return ConvertRounded<int32_t>(value); }
double Int(double value) { return std::floor(value); }

int16_t CheckedInt16(int64_t value) {
  if (value < std::numeric_limits<int16_t>::min() || value > std::numeric_limits<int16_t>::max())
    Raise(ErrOverflow);
  return static_cast<int16_t>(value);
}

int32_t CheckedInt32(int64_t value) {
  if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
    Raise(ErrOverflow);
  return static_cast<int32_t>(value);
}

int16_t ClampCInt(double value) { return ClampRounded<int16_t>(value); }
int32_t ClampCLng(double value) { return ClampRounded<int32_t>(value); }
uint8_t ClampCByte(double value) { return ClampRounded<uint8_t>(value); }

float ClampCSng(double value) {
  if (std::isnan(value)) return 0;
  constexpr double kMax = std::numeric_limits<float>::max();
  return static_cast<float>(std::clamp(value, -kMax, kMax));
}

QString CStr(float value) {
  if (value == 0 || std::isnan(value)) return QStringLiteral("0");
  // The general format with 7 digits picks the exponent form exactly when the rounded
  // value has an exponent of 7 or more, or below -4, and drops trailing zeros.
  char buffer[64];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                                 std::chars_format::general, 7).ptr;
  std::string text(buffer, end);
  for (char& c : text) {
    if (c == 'e') c = 'E';
  }
  return QString::fromStdString(WithoutLeadingZero(text));
}

QString CStr(int64_t value) { return QString::number(value); }
QString Str(float value) { return WithBlankUnlessNegative(CStr(value)); }
QString Str(int64_t value) { return WithBlankUnlessNegative(CStr(value)); }

QString FormatDigits(int64_t value, int digits) {
  const QString magnitude = QString::number(value < 0 ? -static_cast<uint64_t>(value) : value)
                                .rightJustified(digits, QLatin1Char('0'));
  return value < 0 ? QLatin1Char('-') + magnitude : magnitude;
}

double Val(const QString& text) {
  const std::string number = NumberScanner(text).Scan();
  return number.empty() ? 0.0 : ParseCLocale(number);
}

}  // namespace rt
