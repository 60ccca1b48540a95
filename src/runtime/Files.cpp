#include "runtime/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>
#include <cerrno>

#include "runtime/RuntimeError.h"
#include "runtime/Seams.h"

namespace rt {

namespace {

Seam<QString> appPathSeam;

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

// Closes a file descriptor when it goes out of scope.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int Get() const { return fd_; }
  bool Valid() const { return fd_ >= 0; }
  // Closes now; false when the close reports an error (a write that did not make it).
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

// Symbolic links followed in a row before a path counts as a loop.
constexpr int kMaxLinkHops = 40;
// The random part mkstemp puts into a temporary file's name.
constexpr int kTemporarySuffixLength = 6;

// The folder part of a path and its last component; "" and the path itself when it has
// no folder part.
QString FolderOf(const QString& path) {
  const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
  if (slash < 0) return QStringLiteral(".");
  return slash == 0 ? QStringLiteral("/") : path.left(slash);
}

QString NameOf(const QString& path) { return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1); }

// ".QT.Ini." followed by the random part: hidden, and named after the file it replaces.
QString TemporaryPrefix(const QString& target) {
  return QStringLiteral(".") + NameOf(target) + QStringLiteral(".");
}

bool WriteAll(int fd, const char* data, qsizetype size, off_t offset) {
  qsizetype done = 0;
  while (done < size) {
    const ssize_t n = ::pwrite(fd, data + done, static_cast<size_t>(size - done), offset + done);
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

// The new contents in a temporary file beside the target, then renamed over it.
// existing is the target's status when it exists: its permissions and group carry over,
// and when the group cannot, the replacement is abandoned. The bytes go straight to the
// file, unbuffered; no sync to the disk: the guarantee needed is against a killed
// process, which the rename gives, and file systems order a rename over an existing
// file after its data on their own. A sync would cost a large file more than its save.
bool ReplaceAtomically(const QString& target, const QByteArray& bytes, const struct stat* existing) {
  QByteArray temp = QFile::encodeName(FolderOf(target) + QLatin1Char('/') + TemporaryPrefix(target)) +
                    QByteArray(kTemporarySuffixLength, 'X');
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return false;
  Descriptor file(fd);
  const mode_t mode = existing ? existing->st_mode & 07777 : NewFileMode();
  struct stat made {};
  bool ok = ::fchmod(fd, mode) == 0 && ::fstat(fd, &made) == 0;
  if (ok && existing && made.st_gid != existing->st_gid) ok = ::fchown(fd, static_cast<uid_t>(-1), existing->st_gid) == 0;
  ok = ok && WriteAll(fd, bytes.constData(), bytes.size(), 0);
  ok = file.Close() && ok;
  if (ok && ::rename(temp.constData(), QFile::encodeName(target).constData()) == 0) return true;
  ::unlink(temp.constData());
  return false;
}

qsizetype CommonPrefix(const QByteArray& a, const QByteArray& b) {
  const qsizetype n = std::min(a.size(), b.size());
  qsizetype i = 0;
  while (i < n && a[i] == b[i]) ++i;
  return i;
}

// Rewrites the target through its own inode: every link to it, its owner and its
// permissions stay. Only the bytes from the first change on are written, and synced to
// the disk at once to keep the time the file is half old, half new short.
bool RewriteInPlace(const QString& target, const QByteArray& bytes, const QByteArray* old) {
  Descriptor file(::open(QFile::encodeName(target).constData(), O_WRONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (!file.Valid()) return false;
  struct stat st {};
  if (::fstat(file.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  const qsizetype size = bytes.size();
  // Contents read earlier say where the change starts, as long as the file has not
  // changed its size since.
  const qsizetype from = old && old->size() == st.st_size ? CommonPrefix(*old, bytes) : 0;
  if (from == size && size == st.st_size) return true;
  // A full disk refuses the room before any byte of the old contents is lost.
  if (size > st.st_size) {
    const int error = ::posix_fallocate(file.Get(), st.st_size, size - st.st_size);
    if (error != 0 && error != EOPNOTSUPP && error != EINVAL) return false;
  }
  if (!WriteAll(file.Get(), bytes.constData() + from, size - from, from)) return false;
  if (size < st.st_size && ::ftruncate(file.Get(), size) != 0) return false;
  return ::fdatasync(file.Get()) == 0 && file.Close();
}

bool IsTemporaryName(const QString& entry, const QString& prefix) {
  if (!entry.startsWith(prefix) || entry.size() != prefix.size() + kTemporarySuffixLength) return false;
  for (qsizetype i = prefix.size(); i < entry.size(); ++i) {
    const QChar c = entry[i];
    if (!(c.isDigit() || (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
          (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))))
      return false;
  }
  return true;
}

}  // namespace

QString AppPath() {
  if (appPathSeam.Replaced()) return appPathSeam.Replacement();
  static const QString folder = ExecutableFolder();
  return folder;
}

void SetAppPath(const QString& folder) { appPathSeam.Set(WithoutTrailingSlash(folder)); }

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

FileKind KindOf(const QString& path) {
  struct stat st {};
  if (::stat(QFile::encodeName(path).constData(), &st) != 0)
    return errno == ENOENT || errno == ENOTDIR ? FileKind::kMissing : FileKind::kOther;
  return S_ISREG(st.st_mode) ? FileKind::kRegular : FileKind::kOther;
}

std::optional<QByteArray> ReadRegularFile(const QString& path) {
  // Opening without blocking: a FIFO without a writer would hold the open for good.
  Descriptor file(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (!file.Valid()) return std::nullopt;
  struct stat st {};
  if (::fstat(file.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  QByteArray data;
  data.resize(static_cast<qsizetype>(st.st_size));
  qsizetype done = 0;
  for (;;) {
    // A file that grew since fstat is read to its end.
    if (done == data.size()) data.resize(std::max<qsizetype>(4096, data.size() * 2));
    const ssize_t n = ::read(file.Get(), data.data() + done, static_cast<size_t>(data.size() - done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::nullopt;
    if (n == 0) break;
    done += n;
  }
  data.truncate(done);
  return data;
}

QString LinkTarget(const QString& path) {
  QString current = path;
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    const QByteArray name = QFile::encodeName(current);
    struct stat st {};
    if (::lstat(name.constData(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    QByteArray link(static_cast<qsizetype>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
    const ssize_t n = ::readlink(name.constData(), link.data(), static_cast<size_t>(link.size()));
    if (n <= 0 || n >= link.size()) return current;
    link.truncate(n);
    const QString next = QFile::decodeName(link);
    current = next.startsWith(QLatin1Char('/')) ? next : FolderOf(current) + QLatin1Char('/') + next;
  }
  return current;
}

bool WriteFileContents(const QString& path, const QByteArray& bytes, const QByteArray* old) {
  const QString target = LinkTarget(path);
  struct stat st {};
  if (::stat(QFile::encodeName(target).constData(), &st) != 0)
    return errno == ENOENT && ReplaceAtomically(target, bytes, nullptr);
  // No write bit at all is the read-only attribute; root could write anyway.
  if (!S_ISREG(st.st_mode) || (st.st_mode & 0222) == 0) return false;
  const bool replaceable = st.st_nlink == 1 && st.st_uid == ::geteuid();
  if (replaceable && ReplaceAtomically(target, bytes, &st)) return true;
  return RewriteInPlace(target, bytes, old);
}

void RemoveStaleTemporaries(const QString& path) {
  const QString target = LinkTarget(path);
  const QString folder = FolderOf(target);
  const QString prefix = TemporaryPrefix(target);
  const QStringList entries = QDir(folder).entryList({prefix + QLatin1Char('*')},
                                                     QDir::Files | QDir::Hidden | QDir::System);
  for (const QString& entry : entries) {
    if (!IsTemporaryName(entry, prefix)) continue;
    const QByteArray name = QFile::encodeName(folder + QLatin1Char('/') + entry);
    struct stat st {};
    if (::lstat(name.constData(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid())
      ::unlink(name.constData());
  }
}

}  // namespace rt
