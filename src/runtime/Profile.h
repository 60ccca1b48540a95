#pragma once
// The settings file format: "[Section]" lines followed by "Key=Value" lines, 8-bit
// Windows-1252 text with CR LF line ends. Names match without regard to ASCII case,
// names and values are trimmed of blanks and tabs, the first "=" of a line splits name
// from value, lines starting with ";" and lines without "=" are no keys, and of
// duplicate sections or keys the first one counts. Files with LF or CR line ends read
// as well. Each call opens, changes and closes the file by itself: nothing is cached.
#include <QByteArray>
#include <QString>
#include <memory>

namespace rt {

// The value of key in section of the file at path, without the surrounding blanks and
// without one pair of matching quotes around it, cut at 32000 characters. Empty when the
// file, section or key is missing or unreadable. Never fails.
QString ReadProfileString(const QString& section, const QString& key, const QString& path);

// Stores value under key in section. An existing key has its line replaced by
// "Name=Value" (the name as it stands in the file) and every other byte stays as it
// was; a missing key goes right after the last non-blank line of its section; a
// missing section is appended at the end; a missing file is created. The file is
// written as WriteFileContents (Files.h) writes: links followed, atomically where the
// folder allows, in place otherwise. Returns false, leaving the file as it was, when
// the file is no regular file, has no write permission bit, cannot be read or written,
// or the names or the value cannot be stored (empty names, line ends in any of them,
// "=" in the key, "]" in the section).
bool WriteProfileString(const QString& section, const QString& key, const QString& value,
                        const QString& path);

// Many key writes to one file at the cost of one: the file is read when the edit
// starts, each Set changes it in memory exactly as WriteProfileString would change the
// file, and Save writes the result once. Reads of the file in between see it as it was.
class ProfileEdit {
 public:
  explicit ProfileEdit(const QString& path);
  ~ProfileEdit();
  ProfileEdit(const ProfileEdit&) = delete;
  ProfileEdit& operator=(const ProfileEdit&) = delete;

  // False when the value cannot be stored (see WriteProfileString) or the file could
  // not be read for writing; nothing changes then.
  bool Set(const QString& section, const QString& key, const QString& value);
  // Writes every change made by Set in one write; true when there was nothing to write.
  // False when the file could not be read at the start or cannot be written now; the
  // file then stays as it was.
  bool Save();

 private:
  struct Model;
  QString path_;
  bool existed_ = true;
  std::unique_ptr<Model> model_;
};

// The file's 8-bit code page at the file boundary. Characters outside it become "?".
QByteArray ToWindows1252(const QString& text);

}  // namespace rt
