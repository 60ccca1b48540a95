#include <QApplication>

#include "game/frmMain.h"
#include "runtime/ErrorBox.h"
#include "runtime/Menu.h"
#include "runtime/Screen.h"
#include "runtime/SingleInstance.h"
#include "windows/frmTitle.h"

int main(int argc, char* argv[]) {
  const std::unique_ptr<QApplication> app = rt::OpenDesktop(argc, argv);
  // A second start of the same program folder leaves everything to the copy that runs.
  if (!rt::BecomeOnlyInstance()) return 0;
  rt::UseGermanQtTexts();
  rt::UseMenuBarStyle();
  ConnectMainCommands();
  // The title window opens the program: it loads and shows the main window, which lives
  // until the process ends.
  return rt::RunProgram([] { TitleForm().Show(); });
}
