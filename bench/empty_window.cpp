// The yardstick for start-up: an empty Qt Widgets window with a title, of the
// title window's size, built with the program's own options.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("Ворсанит"));
  window.resize(592, 436);
  window.show();
  return app.exec();
}
