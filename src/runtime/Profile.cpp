#include "runtime/Profile.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace rt {

namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F. The five unassigned bytes map
// to the control characters of the same number, so every byte survives a round trip.
constexpr char16_t kHighHalf[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char EncodeChar(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (int i = 0; i < 32; ++i) {
    if (kHighHalf[i] == c) return static_cast<char>(0x80 + i);
  }
  return '?';
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

QByteArrayView Trim(QByteArrayView text) {
  qsizetype first = 0;
  qsizetype last = text.size();
  while (first < last && IsBlank(text[first])) ++first;
  while (last > first && IsBlank(text[last - 1])) --last;
  return text.sliced(first, last - first);
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(QByteArrayView a, QByteArrayView b) {
  if (a.size() != b.size()) return false;
  for (qsizetype i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

bool HasLineEnd(QByteArrayView text) { return text.contains('\r') || text.contains('\n'); }

// One line of the file: [start, end) is its text, next is where the following line
// starts (after its CR LF, LF or CR).
struct Line {
  qsizetype start = 0;
  qsizetype end = 0;
  qsizetype next = 0;
};

Line LineAt(QByteArrayView data, qsizetype start) {
  Line line{start, start, start};
  while (line.end < data.size() && data[line.end] != '\n' && data[line.end] != '\r') ++line.end;
  line.next = line.end;
  if (line.next < data.size() && data[line.next] == '\r') ++line.next;
  if (line.next < data.size() && data[line.next] == '\n') {
    if (line.next == line.end || data[line.end] == '\r') ++line.next;
  }
  return line;
}

QByteArrayView TextOf(QByteArrayView data, const Line& line) {
  return data.sliced(line.start, line.end - line.start);
}

std::optional<QByteArrayView> SectionName(QByteArrayView line) {
  const QByteArrayView text = Trim(line);
  if (text.isEmpty() || text[0] != '[') return std::nullopt;
  const qsizetype close = text.lastIndexOf(']');
  if (close < 1) return std::nullopt;
  return Trim(text.sliced(1, close - 1));
}

struct KeyLine {
  QByteArrayView name;
  QByteArrayView value;
};

std::optional<KeyLine> KeyOf(QByteArrayView line) {
  const QByteArrayView text = Trim(line);
  if (text.isEmpty() || text[0] == ';') return std::nullopt;
  const qsizetype equals = text.indexOf('=');
  if (equals < 0) return std::nullopt;
  return KeyLine{Trim(text.first(equals)), Trim(text.sliced(equals + 1))};
}

// Where a key stands in the file, or where it would go.
struct Location {
  bool sectionFound = false;
  std::optional<Line> keyLine;
  KeyLine key;
  // The last non-blank line of the section (its header when it holds nothing else).
  Line lastNonBlank;
};

Location Locate(QByteArrayView data, QByteArrayView section, QByteArrayView key) {
  Location found;
  for (qsizetype pos = 0; pos < data.size();) {
    const Line line = LineAt(data, pos);
    pos = line.next;
    const QByteArrayView text = TextOf(data, line);
    if (const auto name = SectionName(text)) {
      if (found.sectionFound) break;  // the section ends where the next one starts
      if (!SameName(*name, section)) continue;
      found.sectionFound = true;
      found.lastNonBlank = line;
      continue;
    }
    if (!found.sectionFound) continue;
    if (!Trim(text).isEmpty()) found.lastNonBlank = line;
    const auto keyLine = KeyOf(text);
    if (keyLine && SameName(keyLine->name, key)) {
      found.keyLine = line;
      found.key = *keyLine;
      break;
    }
  }
  return found;
}

QByteArrayView WithoutQuotes(QByteArrayView value) {
  if (value.size() < 2) return value;
  const char first = value.front();
  if ((first == '"' || first == '\'') && value.back() == first) return value.sliced(1, value.size() - 2);
  return value;
}

std::optional<QByteArray> ReadWholeFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  QByteArray data = file.readAll();
  if (file.error() != QFile::NoError) return std::nullopt;
  return data;
}

bool WriteAll(int fd, const QByteArray& bytes) {
  qsizetype done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += n;
  }
  return true;
}

mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// Writes bytes to a temporary file beside path and renames it over path, so that a
// process killed at any moment leaves either the old or the new file. No fsync: the
// guarantee needed is against a killed process, and the rename-over-existing pattern
// is what file systems order correctly on their own; a save of 146 keys must stay fast.
bool ReplaceFile(const QString& path, const QByteArray& bytes, mode_t mode) {
  const QFileInfo info(path);
  QByteArray temp = QFile::encodeName(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                                      QStringLiteral(".XXXXXX"));
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return false;
  const bool written = ::fchmod(fd, mode) == 0 && WriteAll(fd, bytes);
  const bool closed = ::close(fd) == 0;
  if (written && closed && ::rename(temp.constData(), QFile::encodeName(path).constData()) == 0)
    return true;
  ::unlink(temp.constData());
  return false;
}

bool StorableNames(QByteArrayView section, QByteArrayView key, QByteArrayView value) {
  if (section.isEmpty() || key.isEmpty()) return false;
  if (HasLineEnd(section) || HasLineEnd(key) || HasLineEnd(value)) return false;
  if (section.contains(']') || key.contains('=')) return false;
  return key[0] != ';' && key[0] != '[';
}

QByteArray KeyText(QByteArrayView name, QByteArrayView value) {
  QByteArray line;
  line.reserve(name.size() + value.size() + 1);
  line.append(name).append('=').append(value);
  return line;
}

QByteArray Changed(const QByteArray& data, QByteArrayView section, QByteArrayView key,
                   QByteArrayView value) {
  const Location where = Locate(data, section, key);
  QByteArray result = data;
  if (where.keyLine) {
    const QByteArray line = KeyText(where.key.name, value);
    return result.replace(where.keyLine->start, where.keyLine->end - where.keyLine->start, line);
  }
  if (where.sectionFound) {
    const Line& last = where.lastNonBlank;
    const QByteArray lineEndFirst = last.next == last.end ? QByteArray("\r\n") : QByteArray();
    return result.insert(last.next, lineEndFirst + KeyText(key, value) + "\r\n");
  }
  if (!result.isEmpty() && !result.endsWith('\n') && !result.endsWith('\r')) result.append("\r\n");
  return result.append('[').append(section).append("]\r\n").append(KeyText(key, value)).append("\r\n");
}

}  // namespace

QByteArray ToWindows1252(const QString& text) {
  QByteArray bytes;
  bytes.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    // A character beyond the 16-bit range is one "?", not two.
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ++i;
    bytes.append(EncodeChar(c.unicode()));
  }
  return bytes;
}

QString FromWindows1252(QByteArrayView bytes) {
  QString text(bytes.size(), Qt::Uninitialized);
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    text[i] = QChar(b >= 0x80 && b < 0xA0 ? kHighHalf[b - 0x80] : char16_t{b});
  }
  return text;
}

QString ReadProfileString(const QString& section, const QString& key, const QString& path) {
  const auto data = ReadWholeFile(path);
  if (!data) return {};
  const QByteArray sectionBytes = ToWindows1252(section);
  const QByteArray keyBytes = ToWindows1252(key);
  const Location where = Locate(*data, Trim(sectionBytes), Trim(keyBytes));
  if (!where.keyLine) return {};
  const QByteArrayView value = WithoutQuotes(where.key.value);
  return FromWindows1252(value.first(std::min(value.size(), kProfileValueMax)));
}

bool WriteProfileString(const QString& section, const QString& key, const QString& value,
                        const QString& path) {
  const QByteArray sectionBytes = Trim(ToWindows1252(section)).toByteArray();
  const QByteArray keyBytes = Trim(ToWindows1252(key)).toByteArray();
  const QByteArray valueBytes = ToWindows1252(value);
  if (!StorableNames(sectionBytes, keyBytes, valueBytes)) return false;

  const QByteArray pathBytes = QFile::encodeName(path);
  struct stat st {};
  if (::stat(pathBytes.constData(), &st) != 0) {
    if (errno != ENOENT) return false;
    return ReplaceFile(path, Changed({}, sectionBytes, keyBytes, valueBytes), NewFileMode());
  }
  // No write bit at all is the read-only attribute; root could write anyway.
  if (!S_ISREG(st.st_mode) || (st.st_mode & 0222) == 0) return false;
  const auto data = ReadWholeFile(path);
  if (!data) return false;
  return ReplaceFile(path, Changed(*data, sectionBytes, keyBytes, valueBytes), st.st_mode & 07777);
}

}  // namespace rt
