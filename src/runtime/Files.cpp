#include "runtime/Files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include "runtime/RuntimeError.h"

namespace rt {

namespace {

QString& AppPathOverride() {
  static QString folder;
  return folder;
}

QString ExecutableFolder() {
  // /proc/self/exe names the running program even when it was started through a link.
  const QString exe = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
  if (exe.isEmpty()) return QDir::currentPath();
  return QFileInfo(exe).absolutePath();
}

QString WithoutTrailingSlash(QString folder) {
  while (folder.size() > 1 && folder.endsWith(QLatin1Char('/'))) folder.chop(1);
  return folder;
}

// The entry of folder whose name equals name ignoring case; name itself when none does.
QString MatchEntry(const QString& folder, const QString& name) {
  if (QFileInfo::exists(folder + QLatin1Char('/') + name)) return name;
  const QStringList entries =
      QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
  for (const QString& entry : entries) {
    if (entry.compare(name, Qt::CaseInsensitive) == 0) return entry;
  }
  return name;
}

bool EndsWithSeparator(const QString& path) {
  return path.endsWith(QLatin1Char('/')) || path.endsWith(QLatin1Char('\\'));
}

}  // namespace

QString AppPath() {
  if (!AppPathOverride().isEmpty()) return AppPathOverride();
  static const QString folder = ExecutableFolder();
  return folder;
}

void SetAppPath(const QString& folder) { AppPathOverride() = WithoutTrailingSlash(folder); }

QString ResolvePath(const QString& base, const QString& relative) {
  QString path = WithoutTrailingSlash(base);
  QString normalized = relative;
  normalized.replace(QLatin1Char('\\'), QLatin1Char('/'));
  const QStringList parts = normalized.split(QLatin1Char('/'), Qt::SkipEmptyParts);
  for (const QString& part : parts) {
    if (part == QLatin1String(".")) continue;
    const QString entry = part == QLatin1String("..") ? part : MatchEntry(path, part);
    path = path == QLatin1String("/") ? path + entry : path + QLatin1Char('/') + entry;
  }
  // A folder written with a trailing separator keeps it, so that callers can append names.
  if (EndsWithSeparator(relative) && !parts.isEmpty()) path += QLatin1Char('/');
  return path;
}

QString AppFile(const QString& relative) { return ResolvePath(AppPath(), relative); }

int64_t FileLen(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists() || info.isDir()) Raise(ErrFileNotFound);
  return info.size();
}

void AppendText(const QString& path, const QString& text) { AppendBytes(path, text.toUtf8()); }

void AppendBytes(const QString& path, const QByteArray& bytes) {
  if (!QFileInfo(QFileInfo(path).absolutePath()).isDir()) Raise(ErrPathNotFound);
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) Raise(ErrFileAccess);
  if (file.write(bytes) != bytes.size() || !file.flush()) Raise(ErrFileAccess);
}

}  // namespace rt
