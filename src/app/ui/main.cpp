// Start-up: what the command line asks for, then the main window and the
// message loop until it closes.
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QStandardPaths>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <fontconfig/fontconfig.h>

#include "app/command_line.h"
#include "app/ui/main_window.h"
#include "exam/outbox.h"
#include "exam/records_server.h"
#include "exam/server_courier.h"
#include "platform/seat.h"
#include "platform/text_file.h"
#include "platform/ui/codec.h"
#include "platform/ui/design.h"
#include "platform/ui/services.h"

namespace {

std::vector<std::string> argumentsOf(const QStringList& list) {
  std::vector<std::string> args;
  for (qsizetype i = 1; i < list.size(); ++i) args.push_back(list[i].toLocal8Bit().toStdString());
  return args;
}

// Where an installed program keeps its sample course; a program run from its
// build or portable folder has the sample beside it.
std::string sampleSource(const std::string& programFolder) {
  if (fileExists(programFolder + "main.txt")) return programFolder;
  return programFolder + "../share/vorsanit/course/";
}

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

[[noreturn]] void noDisplay() {
  std::fputs(noDisplayText(environment("DISPLAY"), environment("WAYLAND_DISPLAY")).c_str(), stderr);
  std::_Exit(1);
}

// While the application object connects to the display, Qt's complaints about
// it are the same fault in Qt's words, and its fatal error would abort with a
// hint about reinstalling: the program says plainly what is missing instead.
void startUpMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtFatalMsg) noDisplay();
  const QLatin1StringView category(context.category ? context.category : "");
  if (category.startsWith(QLatin1StringView("qt.qpa."))) return;
  std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

int refuse(MessageSink& messages, const QString& text) {
  messages.message(nullptr, QString::fromUtf8("Ворсанит"), text);
  return 1;
}

}  // namespace

int main(int argc, char* argv[]) {
  // --help and --version answer on the terminal, with or without a display.
  const CommandLine early = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (early.action == CommandLine::Action::Help || early.action == CommandLine::Action::Version) {
    std::fputs((early.action == CommandLine::Action::Help ? helpText() : versionText()).c_str(),
               stdout);
    return 0;
  }

  if (!displayAvailable(environment("DISPLAY"), environment("WAYLAND_DISPLAY"),
                        environment("QT_QPA_PLATFORM"),
                        std::vector<std::string>(argv + 1, argv + argc)))
    noDisplay();
  // Reading the font configuration is the largest single cost before the first
  // window shows; it runs while Qt connects to the display and loads its plugin.
  std::thread fontSetUp([] { FcInit(); });
  qInstallMessageHandler(startUpMessages);
  QApplication app(argc, argv);  // takes Qt's own options off the command line
  qInstallMessageHandler(nullptr);
  fontSetUp.join();
  const CommandLine line = parseCommandLine(argumentsOf(QCoreApplication::arguments()));
  if (line.action == CommandLine::Action::Error) {
    std::fprintf(stderr, "vorsanit: %s\n%s", line.error.c_str(), helpText().c_str());
    return 2;
  }
  design::installFontSubstitutions();
  design::installStyle();

  QtMessageSink messages;
  SystemClock clock;
  EngineRandom random(static_cast<std::uint64_t>(QDateTime::currentMSecsSinceEpoch()));
  std::string folder = programFolderOf(QCoreApplication::applicationFilePath());

  if (line.action == CommandLine::Action::RunSample) {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                         QStringLiteral("/vorsanit/course");
    const std::string target = data.toLocal8Bit().toStdString();
    if (const std::string error = prepareSampleCourse(sampleSource(folder), target); !error.empty())
      return refuse(messages, QString::fromUtf8("Не удалось подготовить пример курса: ") +
                                  QString::fromLocal8Bit(error.c_str()));
    // The sample's diagrams are looked up in the current folder, as for any course.
    QDir::setCurrent(data);
    folder = asFolder(target);
  } else if (!line.folder.empty()) {
    folder = asFolder(line.folder);
    const QString mainTxt = QString::fromLocal8Bit((folder + "main.txt").c_str());
    if (const auto read = readText(folder + "main.txt"); !read)
      return refuse(messages, read.error().code == DataError::Code::FileMissing
                                  ? QString::fromUtf8("Отсутствует необходимый файл: ") + mainTxt
                                  : QString::fromUtf8("Не удалось прочитать файл ") + mainTxt +
                                        QStringLiteral(": ") + fromCp1251(read.error().what));
  }

  // A records server the school set up gets every record too; a setting that
  // cannot be used is said once, and the logs go on as ever.
  const RecordsSetting records = recordsSetting(std::getenv(kRecordsVariable));
  if (!records.problem.empty())
    messages.message(nullptr, QString::fromUtf8("Внимание"),
                     QString::fromUtf8("Сервер протоколов не используется: ") +
                         fromCp1251(records.problem) +
                         QString::fromUtf8(". Протоколы записываются только в журналы."));

  endCleanlyOnSignals();
  // A course named on the command line (or the sample) shows its own diagrams
  // before any in the folder the program was started from.
  const bool courseNamed = line.action == CommandLine::Action::RunSample || !line.folder.empty();
  const Services services{folder,
                          messages,
                          clock,
                          random,
                          Seat{hostName(), accountName(), defaultOutboxFolder(), records.conninfo},
                          courseNamed};
  // Records and start marks that could not reach their log last time go there now.
  if (records.set()) copyForServer(services.seat.outboxFolder);
  LogCourier courier;
  deliverOutbox(services.seat.outboxFolder, courier);
  // And those that could not reach the server, without holding up the first
  // window: the send is bounded, and awaited before the program ends.
  std::thread serverDelivery;
  if (records.set())
    serverDelivery = std::thread(
        [&services] { deliverToServer(services.seat.outboxFolder, services.seat.records); });
  int status = 0;
  {
    TForm2 mainWindow(services);  // shows the title window before the message loop runs
    // Asked to end meanwhile: the message loop would start afresh and forget it.
    if (!programEnding()) {
      design::centreOnScreen(&mainWindow, mainWindow.nominalOuterSize());
      mainWindow.show();
      status = app.exec();
    }
  }
  if (serverDelivery.joinable()) serverDelivery.join();
  return status;
}
