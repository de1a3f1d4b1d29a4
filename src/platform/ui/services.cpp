#include "platform/ui/services.h"

#include <fcntl.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QMessageBox>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>

void QtMessageSink::message(QWidget* parent, const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
  // A picture or file name from the course is shown as written, never as markup.
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

namespace {

bool ending = false;
int signalPipe[2] = {-1, -1};

void onSignal(int) {
  // The signal may land between a failed call and the reading of its errno.
  const int saved = errno;
  const char byte = 1;
  if (::write(signalPipe[1], &byte, 1) < 0) {
    // The pipe is full: an earlier signal is waiting to be handled already.
  }
  errno = saved;
}

}  // namespace

// Ending the program from outside (kill, a task manager, logging out, Ctrl+C)
// is handled in the event loop, never inside a write: every window's loop
// returns, nothing more is shown, and nothing is written for a test that has
// not ended. A finished test's record was kept when it ended; an unfinished
// one keeps its start mark.
void endCleanlyOnSignals() {
  if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, qApp);
  QObject::connect(notifier, &QSocketNotifier::activated, [] {
    char bytes[16];
    while (::read(signalPipe[0], bytes, sizeof bytes) > 0) {
    }
    markProgramEnding();
    QCoreApplication::exit(0);
  });
  struct sigaction action {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : {SIGTERM, SIGHUP, SIGINT}) sigaction(signal, &action, nullptr);
}

void markProgramEnding() { ending = true; }
bool programEnding() { return ending; }

std::string programFolderOf(const QString& programPath) {
  const QByteArray path = programPath.toLocal8Bit();
  const qsizetype cut = path.lastIndexOf('/');
  if (cut < 0) return {};
  return std::string(path.constData(), static_cast<std::size_t>(cut + 1));
}
