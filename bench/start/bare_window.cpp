// The yardstick of the start bench: the least a Qt Widgets program does to show a window
// of the title window's size.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QWidget window;
  window.resize(573, 360);
  window.show();
  return app.exec();
}
