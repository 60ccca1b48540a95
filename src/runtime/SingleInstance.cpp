#include "runtime/SingleInstance.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

#include "runtime/Files.h"
#include "runtime/Form.h"

namespace rt {

namespace {

// How long a second start waits for the running copy to take its request.
constexpr int kRequestTimeoutMs = 1000;
const QByteArray kFrontRequest = "front\n";

// The same folder reached through different paths is the same program.
QString InstanceKey(const QString& programFolder) {
  const QString canonical = QFileInfo(programFolder).canonicalFilePath();
  const QString folder = canonical.isEmpty() ? QDir::cleanPath(programFolder) : canonical;
  return QString::fromLatin1(QCryptographicHash::hash(QFile::encodeName(folder), QCryptographicHash::Sha256).toHex().left(24));
}

}  // namespace

SingleInstance::SingleInstance(const QString& programFolder, const QString& runtimeFolder, QObject* parent)
    : QObject(parent) {
  const QString stem = runtimeFolder + QStringLiteral("/quonk-tirrel-") + InstanceKey(programFolder);
  lockPath_ = stem + QStringLiteral(".lock");
  socketPath_ = stem + QStringLiteral(".socket");
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::Claim(std::function<void()> onFrontRequest) {
  lock_ = std::make_unique<QLockFile>(lockPath_);
  // The lock is held for the whole run: only a dead holder makes it stale, never its age.
  lock_->setStaleLockTime(0);
  if (!lock_->tryLock(0)) {
    if (lock_->error() != QLockFile::LockFailedError) return true;
    AskRunningCopy();
    return false;
  }
  // The lock is ours, so a socket left by a copy that was killed is stale.
  QLocalServer::removeServer(socketPath_);
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  connect(server_, &QLocalServer::newConnection, this, [this, onFrontRequest = std::move(onFrontRequest)] {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
      connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      if (onFrontRequest) onFrontRequest();
    }
  });
  server_->listen(socketPath_);
  return true;
}

void SingleInstance::AskRunningCopy() const {
  QLocalSocket socket;
  socket.connectToServer(socketPath_);
  // A copy that has not reached its listening yet is coming to the front by itself.
  if (!socket.waitForConnected(kRequestTimeoutMs)) return;
  socket.write(kFrontRequest);
  socket.waitForBytesWritten(kRequestTimeoutMs);
  socket.disconnectFromServer();
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
  QString runtimeFolder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (runtimeFolder.isEmpty()) runtimeFolder = QDir::tempPath();
  auto* instance = new SingleInstance(AppPath(), runtimeFolder, QCoreApplication::instance());
  return instance->Claim([] { BringWindowsToFront(); });
}

}  // namespace rt
