#include <QApplication>

#include "game/frmMain.h"
#include "runtime/ErrorBox.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  // Until the title window opens the program, the main window opens itself. It lives
  // until the process ends.
  return rt::RunProgram([] {
    auto* main = new frmMain;
    main->Show();
  });
}
