#include <QApplication>

#include "runtime/ErrorBox.h"
#include "windows/frmTitle.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  // The title window opens the program: it loads and shows the main window, which lives
  // until the process ends.
  return rt::RunProgram([] { TitleForm().Show(); });
}
