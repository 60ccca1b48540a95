#include "runtime/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>
#include <cerrno>
#include <optional>

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

// Syncs a folder's entries (a rename into it) to the disk.
void SyncFolder(const QString& folder) {
  const Descriptor dir(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.Valid()) ::fsync(dir.Get());
}

// The new contents in a temporary file beside the target, then renamed over it.
// existing is the target's status when it exists: its permissions and group carry over,
// and when the group cannot, the replacement is abandoned. The bytes go straight to the
// file, unbuffered. Unless synced is asked for, nothing is synced to the disk: the
// guarantee needed is against a killed process, which the rename gives, and file
// systems order a rename over an existing file after its data on their own. A sync
// would cost a large file more than its save.
bool ReplaceAtomically(const QString& target, const QByteArray& bytes, const struct stat* existing,
                       bool synced = false) {
  QByteArray temp = QFile::encodeName(FolderOf(target) + QLatin1Char('/') + TemporaryPrefix(target)) +
                    QByteArray(kTemporarySuffixLength, 'X');
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return false;
  Descriptor file(fd);
  const mode_t mode = existing ? existing->st_mode & 07777 : NewFileMode();
  struct stat made {};
  bool ok = ::fchmod(fd, mode) == 0 && ::fstat(fd, &made) == 0;
  if (ok && existing && made.st_gid != existing->st_gid) ok = ::fchown(fd, static_cast<uid_t>(-1), existing->st_gid) == 0;
  ok = ok && WriteAll(fd, bytes.constData(), bytes.size(), 0) && (!synced || ::fsync(fd) == 0);
  ok = file.Close() && ok;
  if (ok && ::rename(temp.constData(), QFile::encodeName(target).constData()) == 0) {
    if (synced) SyncFolder(FolderOf(target));
    return true;
  }
  ::unlink(temp.constData());
  return false;
}

// The whole contents behind an open file, from its start.
std::optional<QByteArray> ReadAll(int fd) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return std::nullopt;
  QByteArray data;
  data.resize(static_cast<qsizetype>(st.st_size));
  qsizetype done = 0;
  for (;;) {
    // A file that grew since fstat is read to its end.
    if (done == data.size()) data.resize(std::max<qsizetype>(4096, data.size() * 2));
    const ssize_t n = ::pread(fd, data.data() + done, static_cast<size_t>(data.size() - done), done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::nullopt;
    if (n == 0) break;
    done += n;
  }
  data.truncate(done);
  return data;
}

qsizetype CommonPrefix(const QByteArray& a, const QByteArray& b) {
  const qsizetype n = std::min(a.size(), b.size());
  qsizetype i = 0;
  while (i < n && a[i] == b[i]) ++i;
  return i;
}

QByteArray Digest(QByteArrayView bytes) { return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256); }

// What an in-place rewrite of a file changes, kept until the rewrite is complete: which
// file (its device and inode), where the change starts, a digest of the bytes before
// that, which the rewrite leaves alone, and the old and the new bytes from there on.
struct Rollback {
  dev_t device = 0;
  ino_t inode = 0;
  qsizetype from = 0;
  QByteArray prefixDigest;
  QByteArray oldTail;
  QByteArray newTail;

  static constexpr QByteArrayView kMagic = "quonk-tirrel rollback 1\n";

  QByteArray Serialized() const {
    return kMagic.toByteArray() + QByteArray::number(qulonglong(device)) + ' ' + QByteArray::number(qulonglong(inode)) +
           ' ' + QByteArray::number(from) + ' ' + QByteArray::number(oldTail.size()) + ' ' +
           QByteArray::number(newTail.size()) + ' ' + prefixDigest.toHex() + '\n' + oldTail + newTail;
  }

  static std::optional<Rollback> Parse(const QByteArray& data) {
    if (!data.startsWith(kMagic)) return std::nullopt;
    const qsizetype lineEnd = data.indexOf('\n', kMagic.size());
    if (lineEnd < 0) return std::nullopt;
    const QList<QByteArray> fields = data.mid(kMagic.size(), lineEnd - kMagic.size()).split(' ');
    if (fields.size() != 6) return std::nullopt;
    bool ok[5] = {};
    Rollback r;
    r.device = static_cast<dev_t>(fields[0].toULongLong(&ok[0]));
    r.inode = static_cast<ino_t>(fields[1].toULongLong(&ok[1]));
    r.from = fields[2].toLongLong(&ok[2]);
    const qsizetype oldSize = fields[3].toLongLong(&ok[3]);
    const qsizetype newSize = fields[4].toLongLong(&ok[4]);
    r.prefixDigest = QByteArray::fromHex(fields[5]);
    const qsizetype body = lineEnd + 1;
    if (std::find(std::begin(ok), std::end(ok), false) != std::end(ok) || r.from < 0 || oldSize < 0 || newSize < 0 ||
        data.size() - body != oldSize + newSize)
      return std::nullopt;
    r.oldTail = data.mid(body, oldSize);
    r.newTail = data.mid(body + oldSize);
    return r;
  }

  bool Finished(const QByteArray& file) const {
    return file.size() == from + newTail.size() && QByteArrayView(file).sliced(from) == newTail;
  }

  // The file is what the rewrite can have left: the bytes before the change as they
  // were, a length between the old and the new one, and every byte from the change on
  // either old or new.
  bool LeftTheFile(const QByteArray& file) const {
    const qsizetype oldEnd = from + oldTail.size();
    const qsizetype newEnd = from + newTail.size();
    if (file.size() < std::min(oldEnd, newEnd) || file.size() > std::max(oldEnd, newEnd)) return false;
    if (Digest(QByteArrayView(file).first(from)) != prefixDigest) return false;
    for (qsizetype i = from; i < file.size(); ++i) {
      const qsizetype k = i - from;
      const bool old = k < oldTail.size() && file[i] == oldTail[k];
      const bool fresh = k < newTail.size() && file[i] == newTail[k];
      if (!old && !fresh) return false;
    }
    return true;
  }

  // Writes the old bytes back and cuts the file to its old length.
  bool PutBack(int fd) const {
    return WriteAll(fd, oldTail.constData(), oldTail.size(), from) && ::ftruncate(fd, from + oldTail.size()) == 0 &&
           ::fdatasync(fd) == 0;
  }
};

// The user's state folder for this program.
QString StateFolder() {
  QString base = qEnvironmentVariable("XDG_STATE_HOME");
  if (!base.startsWith(QLatin1Char('/'))) base = QDir::homePath() + QStringLiteral("/.local/state");
  return base + QStringLiteral("/quonk-tirrel");
}

// The rollback copy of a file is named after the file's full path; empty when the file
// has none (it is missing).
QString RollbackPath(const QString& target) {
  const QString canonical = QFileInfo(target).canonicalFilePath();
  if (canonical.isEmpty()) return {};
  return StateFolder() + QLatin1Char('/') + QString::fromLatin1(Digest(QFile::encodeName(canonical)).toHex().left(32)) +
         QStringLiteral(".rollback");
}

bool SaveRollback(const QString& path, const Rollback& rollback) {
  if (path.isEmpty() || !QDir().mkpath(FolderOf(path))) return false;
  return ReplaceAtomically(path, rollback.Serialized(), nullptr, true);
}

// Rewrites the target through its own inode: every link to it, its owner and its
// permissions stay. Only the bytes from the first change on are written, after their
// rollback copy, and synced to the disk at once.
bool RewriteInPlace(const QString& target, const QByteArray& bytes) {
  Descriptor file(::open(QFile::encodeName(target).constData(), O_RDWR | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (!file.Valid()) return false;
  struct stat st {};
  if (::fstat(file.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  const std::optional<QByteArray> current = ReadAll(file.Get());
  if (!current) return false;
  if (*current == bytes) return true;
  const qsizetype size = bytes.size();
  // A full disk refuses the room before any byte of the old contents is lost. The file
  // keeps its length meanwhile, so a kill here leaves no zeros at its end.
  const qsizetype growth = size - current->size();
  if (growth > 0 && ::fallocate(file.Get(), FALLOC_FL_KEEP_SIZE, current->size(), growth) != 0 &&
      errno != EOPNOTSUPP && errno != EINVAL)
    return false;
  const qsizetype from = CommonPrefix(*current, bytes);
  const Rollback rollback{st.st_dev, st.st_ino, from, Digest(QByteArrayView(*current).first(from)),
                          current->sliced(from), bytes.sliced(from)};
  const QString rollbackPath = RollbackPath(target);
  const bool guarded = SaveRollback(rollbackPath, rollback);
  const bool written = WriteAll(file.Get(), bytes.constData() + from, size - from, from) &&
                       (growth >= 0 || ::ftruncate(file.Get(), size) == 0) && ::fdatasync(file.Get()) == 0;
  // A failed rewrite is undone at once; what cannot be undone now is at the next start.
  if (guarded && (written || rollback.PutBack(file.Get()))) ::unlink(QFile::encodeName(rollbackPath).constData());
  return written && file.Close();
}

// Puts the old contents back when the file is still as the cut-short rewrite left it.
// False when that could not be done now; the rollback copy is then kept.
bool RollBack(const QString& target, const QByteArray& saved) {
  const std::optional<Rollback> rollback = Rollback::Parse(saved);
  if (!rollback) return true;
  Descriptor file(::open(QFile::encodeName(target).constData(), O_RDWR | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (!file.Valid()) return false;
  struct stat st {};
  if (::fstat(file.Get(), &st) != 0) return false;
  if (!S_ISREG(st.st_mode) || st.st_dev != rollback->device || st.st_ino != rollback->inode) return true;
  const std::optional<QByteArray> current = ReadAll(file.Get());
  if (!current) return false;
  if (rollback->Finished(*current) || !rollback->LeftTheFile(*current)) return true;
  return rollback->PutBack(file.Get());
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

// The temporary files a killed ReplaceAtomically left beside target.
void RemoveStaleTemporaries(const QString& target) {
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
  return ReadAll(file.Get());
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

bool WriteFileContents(const QString& path, const QByteArray& bytes) {
  const QString target = LinkTarget(path);
  struct stat st {};
  if (::stat(QFile::encodeName(target).constData(), &st) != 0)
    return errno == ENOENT && ReplaceAtomically(target, bytes, nullptr);
  // No write bit at all is the read-only attribute; root could write anyway.
  if (!S_ISREG(st.st_mode) || (st.st_mode & 0222) == 0) return false;
  const bool replaceable = st.st_nlink == 1 && st.st_uid == ::geteuid();
  if (replaceable && ReplaceAtomically(target, bytes, &st)) return true;
  return RewriteInPlace(target, bytes);
}

void RepairInterruptedWrites(const QString& path) {
  const QString target = LinkTarget(path);
  RemoveStaleTemporaries(target);
  const QString rollbackPath = RollbackPath(target);
  if (rollbackPath.isEmpty()) return;
  // A rollback copy cut short was never used: the rewrite starts after it is complete.
  RemoveStaleTemporaries(rollbackPath);
  const std::optional<QByteArray> saved = ReadRegularFile(rollbackPath);
  if (saved && RollBack(target, *saved)) ::unlink(QFile::encodeName(rollbackPath).constData());
}

}  // namespace rt
