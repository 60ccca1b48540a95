// Close requests from outside the program: the desktop session's end and the
// signals SIGTERM, SIGHUP and SIGINT. A signal handler may do next to nothing, so
// it only writes the signal's number into a pipe; the GUI thread reads it from
// there in its event loop and asks the windows to close.
#include <fcntl.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <csignal>

#include "runtime/Blocking.h"
#include "runtime/ErrorBox.h"
#include "runtime/Form.h"

namespace rt {

namespace {

int signalPipe[2] = {-1, -1};

void OnSignal(int number) {
  const int savedErrno = errno;
  const char byte = static_cast<char>(number);
  [[maybe_unused]] const ssize_t written = write(signalPipe[1], &byte, 1);
  errno = savedErrno;
}

int UnloadModeFor(int signalNumber) { return signalNumber == SIGINT ? kTaskManager : kSessionEnd; }

void ReadSignals() {
  char byte = 0;
  while (read(signalPipe[0], &byte, 1) == 1) {
    const int mode = UnloadModeFor(byte);
    // A synchronous sound blocks the program; the request waits for its end, as a
    // close message would.
    WhenUnblocked([mode] { RunHandler([mode] { RequestEndAll(mode); }); });
  }
}

void InstallSignals() {
  if (pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
  QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] { ReadSignals(); });
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int number : {SIGTERM, SIGHUP, SIGINT}) {
    // A signal ignored by whoever started the program (nohup ignores SIGHUP) stays
    // ignored: that was asked for the whole run.
    struct sigaction before = {};
    if (sigaction(number, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) continue;
    sigaction(number, &action, nullptr);
  }
}

void InstallSessionEnd() {
#ifndef QT_NO_SESSIONMANAGER
  auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  if (!app) return;
  QObject::connect(app, &QGuiApplication::commitDataRequest, app, [](QSessionManager& manager) {
    // A blocking sound holds the request until its end; the session is not refused.
    if (Blocked()) {
      WhenUnblocked([] { RunHandler([] { RequestEndAll(kSessionEnd); }); });
      return;
    }
    bool ended = false;
    RunHandler([&] { ended = RequestEndAll(kSessionEnd); });
    if (!ended && manager.allowsInteraction()) manager.cancel();
  });
#endif
}

}  // namespace

void InstallEndRequestHandlers() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  InstallSignals();
  InstallSessionEnd();
}

}  // namespace rt
