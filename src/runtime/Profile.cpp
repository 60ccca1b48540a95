#include "runtime/Profile.h"

#include <sys/stat.h>

#include <QFile>
#include <QHash>
#include <algorithm>
#include <deque>
#include <optional>
#include <vector>

#include "runtime/Files.h"

namespace rt {

namespace {

// Longest value a read returns, in characters; longer values are cut.
constexpr qsizetype kProfileValueMax = 32000;

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

QByteArray LowerName(QByteArrayView name) {
  QByteArray lower(name.size(), Qt::Uninitialized);
  for (qsizetype i = 0; i < name.size(); ++i) lower[i] = AsciiLower(name[i]);
  return lower;
}

constexpr QByteArrayView kNewLineEnd = "\r\n";

}  // namespace

// The file as sections of lines. A section holds its header and every line up to the
// last non-blank one in body, and the blank lines after that in blanks, so a missing key
// goes to the end of body. Lines point into the bytes read or into texts made here.
struct ProfileEdit::Model {
  struct Line {
    QByteArrayView text;
    QByteArrayView lineEnd;
  };
  struct Section {
    std::vector<Line> body;
    std::vector<Line> blanks;
    // Lower-case key name to its line in body; the first of duplicate keys counts.
    QHash<QByteArray, size_t> keys;
  };

  QByteArray original;
  // Lines before the first section header: they belong to no section.
  Section preamble;
  std::vector<Section> sections;
  // Lower-case section name to its index; the first of duplicate sections counts.
  QHash<QByteArray, size_t> sectionIndex;
  // Texts made by the edits; a QByteArray's bytes stay where they are when it moves.
  std::deque<QByteArray> made;
  bool changed = false;

  explicit Model(QByteArray data) : original(std::move(data)) {
    Section* current = &preamble;
    const QByteArrayView bytes(original);
    for (qsizetype pos = 0; pos < bytes.size();) {
      const ::rt::Line at = LineAt(bytes, pos);
      pos = at.next;
      const Line line{TextOf(bytes, at), bytes.sliced(at.end, at.next - at.end)};
      if (const auto name = SectionName(line.text)) {
        sections.emplace_back();
        current = &sections.back();
        const QByteArray lower = LowerName(*name);
        if (!sectionIndex.contains(lower)) sectionIndex.insert(lower, sections.size() - 1);
        current->body.push_back(line);
        continue;
      }
      Add(*current, line, current != &preamble);
    }
  }

  static void Add(Section& section, const Line& line, bool indexKeys) {
    if (Trim(line.text).isEmpty()) {
      section.blanks.push_back(line);
      return;
    }
    section.body.insert(section.body.end(), section.blanks.begin(), section.blanks.end());
    section.blanks.clear();
    section.body.push_back(line);
    if (!indexKeys) return;
    const auto key = KeyOf(line.text);
    if (!key) return;
    const QByteArray lower = LowerName(key->name);
    if (!section.keys.contains(lower)) section.keys.insert(lower, section.body.size() - 1);
  }

  QByteArrayView Keep(QByteArray text) {
    made.push_back(std::move(text));
    return made.back();
  }

  // The last line of the file, if it has any.
  Line* LastLine() {
    for (auto it = sections.rbegin(); it != sections.rend(); ++it) {
      if (!it->blanks.empty()) return &it->blanks.back();
      if (!it->body.empty()) return &it->body.back();
    }
    if (!preamble.blanks.empty()) return &preamble.blanks.back();
    return preamble.body.empty() ? nullptr : &preamble.body.back();
  }

  void Set(QByteArrayView sectionName, QByteArrayView key, QByteArrayView value) {
    changed = true;
    const auto found = sectionIndex.constFind(LowerName(sectionName));
    if (found == sectionIndex.constEnd()) {
      // A line without a line end is the file's last: it gets one before the new section.
      if (Line* last = LastLine(); last && last->lineEnd.isEmpty()) last->lineEnd = kNewLineEnd;
      sections.emplace_back();
      sectionIndex.insert(LowerName(sectionName), sections.size() - 1);
      QByteArray header;
      header.append('[').append(sectionName).append(']');
      sections.back().body.push_back({Keep(std::move(header)), kNewLineEnd});
      Append(sections.back(), key, value);
      return;
    }
    Section& section = sections[*found];
    const auto keyLine = section.keys.constFind(LowerName(key));
    if (keyLine == section.keys.constEnd()) {
      Append(section, key, value);
      return;
    }
    Line& line = section.body[*keyLine];
    line.text = Keep(KeyText(KeyOf(line.text)->name, value));
  }

  void Append(Section& section, QByteArrayView key, QByteArrayView value) {
    if (section.body.back().lineEnd.isEmpty()) section.body.back().lineEnd = kNewLineEnd;
    section.body.push_back({Keep(KeyText(key, value)), kNewLineEnd});
    section.keys.insert(LowerName(key), section.body.size() - 1);
  }

  QByteArray Text() const {
    qsizetype size = 0;
    const auto measure = [&](const std::vector<Line>& lines) {
      for (const Line& line : lines) size += line.text.size() + line.lineEnd.size();
    };
    const auto append = [](QByteArray& out, const std::vector<Line>& lines) {
      for (const Line& line : lines) out.append(line.text).append(line.lineEnd);
    };
    measure(preamble.body);
    measure(preamble.blanks);
    for (const Section& section : sections) {
      measure(section.body);
      measure(section.blanks);
    }
    QByteArray out;
    out.reserve(size);
    append(out, preamble.body);
    append(out, preamble.blanks);
    for (const Section& section : sections) {
      append(out, section.body);
      append(out, section.blanks);
    }
    return out;
  }
};

ProfileEdit::ProfileEdit(const QString& path) : path_(path) {
  switch (KindOf(path)) {
    case FileKind::kMissing:
      model_ = std::make_unique<Model>(QByteArray());
      existed_ = false;
      return;
    case FileKind::kOther:
      return;
    case FileKind::kRegular:
      break;
  }
  struct stat st {};
  // No write bit at all is the read-only attribute; root could write anyway.
  if (::stat(QFile::encodeName(path).constData(), &st) != 0 || (st.st_mode & 0222) == 0) return;
  if (auto data = ReadRegularFile(path)) model_ = std::make_unique<Model>(std::move(*data));
}

ProfileEdit::~ProfileEdit() = default;

bool ProfileEdit::Set(const QString& section, const QString& key, const QString& value) {
  const QByteArray sectionBytes = Trim(ToWindows1252(section)).toByteArray();
  const QByteArray keyBytes = Trim(ToWindows1252(key)).toByteArray();
  const QByteArray valueBytes = ToWindows1252(value);
  if (!StorableNames(sectionBytes, keyBytes, valueBytes)) return false;
  if (!model_) return false;
  model_->Set(sectionBytes, keyBytes, valueBytes);
  return true;
}

bool ProfileEdit::Save() {
  if (!model_) return false;
  if (!model_->changed) return true;
  const QByteArray text = model_->Text();
  if (existed_ && text == model_->original) return true;
  return WriteFileContents(path_, text);
}

namespace {

QString FromWindows1252(QByteArrayView bytes) {
  QString text(bytes.size(), Qt::Uninitialized);
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    text[i] = QChar(b >= 0x80 && b < 0xA0 ? kHighHalf[b - 0x80] : char16_t{b});
  }
  return text;
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

QString ReadProfileString(const QString& section, const QString& key, const QString& path) {
  const auto data = ReadRegularFile(path);
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
  ProfileEdit edit(path);
  return edit.Set(section, key, value) && edit.Save();
}

}  // namespace rt
