#include <QApplication>

#include "runtime/ErrorBox.h"
#include "runtime/Screen.h"
#include "windows/frmTitle.h"

int main(int argc, char* argv[]) {
  const std::unique_ptr<QApplication> app = rt::OpenDesktop(argc, argv);
  rt::UseGermanQtTexts();
  // The title window opens the program: it loads and shows the main window, which lives
  // until the process ends.
  return rt::RunProgram([] { TitleForm().Show(); });
}
