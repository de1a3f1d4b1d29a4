// Start-up: the main window, and the message loop until it closes.
#include <QApplication>
#include <QDateTime>

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
  design::centreOnScreen(&mainWindow, mainWindow.nominalOuterSize());
  mainWindow.show();
  return app.exec();
}
