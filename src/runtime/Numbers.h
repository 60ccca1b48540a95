#pragma once
// Number conversions with the rules the game's arithmetic relies on: converting a
// float to an integer rounds to the nearest, halves to the even neighbour, and a
// result outside the target type raises the overflow error.
#include <QString>
#include <cstdint>

namespace rt {

// 16-bit integer, round half to even; overflow error outside -32768..32767.
int16_t CInt(double value);
// 32-bit integer, round half to even; overflow error outside the 32-bit range.
int32_t CLng(double value);
// Integer part rounded down (Int(-1.5) = -2).
double Int(double value);
// 16-bit and 32-bit integer arithmetic that raises the overflow error.
int16_t CheckedInt16(int64_t value);
int32_t CheckedInt32(int64_t value);

// The same conversions for values read from a hand-editable file: a value beyond the
// type's range takes the nearest end of the range instead of raising, text garbage
// (NaN) becomes 0.
int16_t ClampCInt(double value);
int32_t ClampCLng(double value);
uint8_t ClampCByte(double value);
float ClampCSng(double value);

// A number as the settings file and the windows write it: "." as decimal point in
// every locale, no group separators, no leading zero before the point (".5", "-.5").
// Floats keep at most 7 significant digits and switch to exponent form beyond that
// ("1.234568E+08") or below 1E-04 ("1E-05").
QString CStr(float value);
QString CStr(int64_t value);
inline QString CStr(int32_t value) { return CStr(static_cast<int64_t>(value)); }
// CStr with one leading blank when the value is not negative (" 70", "-3").
QString Str(float value);
QString Str(int64_t value);
inline QString Str(int32_t value) { return Str(static_cast<int64_t>(value)); }

// value in decimal, zero-padded to at least digits digits: Format(7, "0000") is "0007".
QString FormatDigits(int64_t value, int digits);

// The leading number of a text: blanks and tabs are skipped, "." is the decimal point,
// an exponent "E"/"e" may follow; reading stops at the first character that cannot
// continue the number. 0 when there is none; +-infinity when it is too large for a double.
double Val(const QString& text);

}  // namespace rt
