#include "runtime/ErrorBox.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "runtime/Blocking.h"
#include "runtime/Form.h"
#include "runtime/MsgBox.h"
#include "runtime/Screen.h"
#include "runtime/Seams.h"

namespace rt {

namespace {

constexpr int kErrInternal = 51;
constexpr int kErrorExitCode = 1;

Seam<std::function<void(int)>> ender;

// "Laufzeitfehler 'N':", a line break, the description.
QString RuntimeErrorText(const RuntimeError& error) {
  return QStringLiteral("Laufzeitfehler '%1':\n%2").arg(error.Number()).arg(error.Description());
}

// Shows the runtime error box (titled with the application title) and ends the process
// with exit code 1. No handler runs afterwards.
[[noreturn]] void ShowRuntimeError(const RuntimeError& error) {
  static bool showing = false;
  if (!showing) {
    showing = true;
    Screen::SetMousePointer(kPointerDefault);
    MsgBox(RuntimeErrorText(error), kOkOnly | kStopSign, App::Title);
  }
  EndProcess(kErrorExitCode);
}

}  // namespace

void EndProcess(int exitCode) {
  std::fflush(nullptr);
  if (ender.Replaced()) ender.Replacement()(exitCode);
  std::_Exit(exitCode);
}

void SetProcessEnder(std::function<void(int exitCode)> replacement) { ender.Set(std::move(replacement)); }

void RunHandler(const std::function<void()>& handler, const QObject* context) {
  if (Blocked()) {
    WhenUnblocked([handler] { RunHandler(handler); }, context);
    return;
  }
  try {
    handler();
  } catch (const RuntimeError& error) {
    ShowRuntimeError(error);
  } catch (const std::exception&) {
    ShowRuntimeError(RuntimeError(kErrInternal, QStringLiteral("Interner Fehler")));
  }
}

int RunProgram(const std::function<void()>& start) {
  InstallEndRequestHandlers();
  QApplication::setQuitOnLastWindowClosed(false);
  RunHandler(start);
  if (Form::LoadedForms().isEmpty()) return 0;
  SetQuitWhenNoWindowShown(true);
  return QApplication::exec();
}

}  // namespace rt
