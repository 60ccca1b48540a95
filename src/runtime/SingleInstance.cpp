#include "runtime/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <cerrno>
#include <cstring>

#include "runtime/Files.h"
#include "runtime/Form.h"
#include "runtime/MsgBox.h"

namespace rt {

namespace {

const QString kRunningElsewhereText =
    QStringLiteral("Quonk-Tirrel wird schon gespielt, vielleicht von einem anderen Benutzer dieses Computers.");

bool SocketAddress(const QString& path, sockaddr_un& address) {
  const QByteArray name = QFile::encodeName(path);
  if (name.isEmpty() || static_cast<size_t>(name.size()) >= sizeof(address.sun_path)) return false;
  address = {};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, name.constData(), static_cast<size_t>(name.size()));
  return true;
}

int StreamSocket() { return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0); }

}  // namespace

SingleInstance::SingleInstance(const QString& programFolder, const QString& runtimeFolder, QObject* parent)
    : QObject(parent), programFolder_(programFolder), runtimeFolder_(runtimeFolder) {}

SingleInstance::~SingleInstance() {
  // The socket goes before the lock: once the lock is free it may be another copy's.
  if (server_ >= 0) {
    ::unlink(QFile::encodeName(socketPath_).constData());
    ::close(server_);
  }
  if (lock_ >= 0) ::close(lock_);
}

InstanceClaim SingleInstance::Claim(std::function<void()> onFrontRequest) {
  // Not inherited by the programs the game starts (the browser): they would hold the
  // folder after the game has ended.
  lock_ = ::open(QFile::encodeName(programFolder_).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (lock_ < 0) return InstanceClaim::kOnly;
  struct stat folder {};
  if (::fstat(lock_, &folder) == 0 && !runtimeFolder_.isEmpty()) {
    // The folder itself, not the path to it, names the copy: a link to it is the same game.
    socketPath_ = QStringLiteral("%1/quonk-tirrel-%2-%3.socket")
                      .arg(runtimeFolder_)
                      .arg(static_cast<qulonglong>(folder.st_dev), 0, 16)
                      .arg(static_cast<qulonglong>(folder.st_ino), 0, 16);
  }
  // The kernel drops the lock with its holder, however that ends, and never before.
  if (::flock(lock_, LOCK_EX | LOCK_NB) == 0) {
    Listen(std::move(onFrontRequest));
    return InstanceClaim::kOnly;
  }
  const bool held = errno == EWOULDBLOCK;
  ::close(lock_);
  lock_ = -1;
  if (!held) return InstanceClaim::kOnly;
  return AskRunningCopy() ? InstanceClaim::kRaisedRunningCopy : InstanceClaim::kRunningElsewhere;
}

// A connection is the whole request; it is taken on the GUI thread.
void SingleInstance::Listen(std::function<void()> onFrontRequest) {
  sockaddr_un address;
  if (!SocketAddress(socketPath_, address)) return;
  // The lock is ours, so a socket left by a copy that was killed is stale.
  ::unlink(address.sun_path);
  server_ = StreamSocket();
  if (server_ < 0) return;
  if (::bind(server_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(server_, SOMAXCONN) != 0) {
    ::close(server_);
    server_ = -1;
    return;
  }
  auto* notifier = new QSocketNotifier(server_, QSocketNotifier::Read, this);
  connect(notifier, &QSocketNotifier::activated, this, [this, onFrontRequest = std::move(onFrontRequest)] {
    bool asked = false;
    for (int client; (client = ::accept4(server_, nullptr, nullptr, SOCK_CLOEXEC)) >= 0; asked = true) ::close(client);
    if (asked && onFrontRequest) onFrontRequest();
  });
}

// The socket lives in the user's own runtime folder: only a copy of the same user is
// found there.
bool SingleInstance::AskRunningCopy() const {
  sockaddr_un address;
  if (!SocketAddress(socketPath_, address)) return false;
  const int socket = StreamSocket();
  if (socket < 0) return false;
  // A full queue means the running copy has requests waiting already.
  const bool reached = ::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 ||
                       errno == EAGAIN;
  ::close(socket);
  return reached;
}

namespace {

// Shows every visible window of the program again if minimised, in front of other
// programs' windows, the modal one (or else the last loaded) active.
void BringWindowsToFront() {
  QWidget* last = nullptr;
  for (Form* form : Form::LoadedForms()) {
    if (!form->isVisible()) continue;
    form->setWindowState(form->windowState() & ~Qt::WindowMinimized);
    form->raise();
    last = form;
  }
  QWidget* front = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : last;
  if (!front) return;
  front->raise();
  front->activateWindow();
}

}  // namespace

bool BecomeOnlyInstance() {
  const QString runtimeFolder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  auto* instance = new SingleInstance(AppPath(), runtimeFolder, QCoreApplication::instance());
  switch (instance->Claim([] { BringWindowsToFront(); })) {
    case InstanceClaim::kOnly:
      return true;
    case InstanceClaim::kRaisedRunningCopy:
      return false;
    case InstanceClaim::kRunningElsewhere:
      MsgBox(kRunningElsewhereText, kOkOnly | kInformationSign);
      return false;
  }
  return false;
}

}  // namespace rt
