#pragma once
// The program's folder and the files beside it. The game names its files with
// Windows-style relative paths ("\grafics\", "\sounds\speech\") and relies on names
// matching without regard to letter case ("setball" and "SetBall" are one file).
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

namespace rt {

// The folder of the running executable, without a trailing "/".
QString AppPath();
// Test seam (Seams.h): points the program at a folder of the test's own.
void SetAppPath(const QString& folder);

// Joins a path written with "\" or "/" separators to base ("\grafics\x.bmp" and
// "grafics/x.bmp" both work) and resolves every component that exists without
// regard to case. Components that do not exist keep the case given.
QString ResolvePath(const QString& base, const QString& relative);
// ResolvePath(AppPath(), relative).
QString AppFile(const QString& relative);

// A file's length in bytes; error 53 when it is missing.
int64_t FileLen(const QString& path);

// What a path names once symbolic links are followed.
enum class FileKind { kMissing, kRegular, kOther };
FileKind KindOf(const QString& path);

// The whole contents of a regular file (links followed). Nothing when the path names no
// regular file (missing, a folder, a FIFO, a device node) or it cannot be read; a FIFO
// or device never blocks the caller.
std::optional<QByteArray> ReadRegularFile(const QString& path);

// The file a path finally names: symbolic links are followed, link by link, to their
// target, which need not exist yet. A path that is no link comes back as it is.
QString LinkTarget(const QString& path);

// Replaces the whole contents of a file by bytes; a missing file is created. Links are
// followed, so the file they point to receives the bytes and a link stays a link.
//
// The new contents go into a temporary file beside the target, written unbuffered, and
// the temporary file is renamed over the target: a process killed at any moment leaves
// the old or the new file. Where that cannot keep the file what it is (the folder
// refuses new files, the file is shared through hard links, it belongs to another
// user) the file is rewritten in place instead, from the first byte that differs, with
// the room for the new size claimed before the first byte is written and the result
// synced to the disk. The bytes it overwrites are kept first in a rollback copy in the
// user's state folder ($XDG_STATE_HOME or ~/.local/state), synced to the disk and
// removed once the rewrite is complete; RepairInterruptedWrites puts them back after a
// kill. Where no rollback copy can be written the rewrite goes ahead without one.
//
// Returns false, and leaves the file as it was, when the target is no regular file,
// has no write permission bit at all (the read-only attribute) or neither way works.
bool WriteFileContents(const QString& path, const QByteArray& bytes);

// Puts right what a WriteFileContents killed in the middle left behind for path: the
// temporary files beside its target go, and a target whose in-place rewrite was cut
// short gets its old contents back, as long as nothing else has written it since.
void RepairInterruptedWrites(const QString& path);

}  // namespace rt
