// Start-up: the main window, and the message loop until it closes.
#include <QApplication>
#include <QDateTime>
#include <QGuiApplication>
#include <QScreen>

#include "app/main_window.h"
#include "platform/design.h"
#include "platform/services.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  design::installFontSubstitutions();

  QtMessageSink messages;
  SystemClock clock;
  EngineRandom random(static_cast<std::uint64_t>(QDateTime::currentMSecsSinceEpoch()));
  const Services services{programFolderOf(QCoreApplication::applicationFilePath()), messages,
                          clock, random};

  TForm2 mainWindow(services);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QSize outer = mainWindow.nominalOuterSize();
    const QRect area = screen->geometry();
    mainWindow.move(area.x() + (area.width() - outer.width()) / 2,
                    area.y() + (area.height() - outer.height()) / 2);
  }
  mainWindow.show();
  return app.exec();
}
