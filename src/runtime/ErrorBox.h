#pragma once
// The end of the program on an unhandled runtime error, and the way every event
// handler is run so that such an error reaches that end instead of unwinding
// through Qt's event loop.
#include <QString>
#include <functional>

#include "runtime/RuntimeError.h"

class QObject;

namespace rt {

// Ends the process at once with the given exit code: no further handler of any
// window runs and nothing is cleaned up. Files written before are complete, as the
// program closes each file when it has written it.
[[noreturn]] void EndProcess(int exitCode = 0);

// Test seam (Seams.h): while an ender is set, EndProcess hands it the exit code first;
// the process ends when the ender returns.
void SetProcessEnder(std::function<void(int exitCode)> ender);

// Runs an event handler; a runtime error it leaves unhandled shows the runtime error
// box (titled with the application title) and ends the program with exit code 1. Every handler the runtime calls goes through here. During a
// blocking wait the handler is held and runs afterwards (dropped when its context
// object is gone by then).
void RunHandler(const std::function<void()>& handler, const QObject* context = nullptr);

// For main(): installs the end-request handling (session end, SIGTERM, SIGHUP,
// SIGINT), runs start (which loads and shows the first window) under the error
// box, then the event loop until the last window is unloaded. Returns the exit code.
int RunProgram(const std::function<void()>& start);

}  // namespace rt
