#include "exam/ui/trace_keeping.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QLabel>
#include <QTimer>
#include <atomic>
#include <thread>

#include "exam/server_courier.h"
#include "platform/ui/codec.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kRetryStepMs = 100;

QString pathText(const std::string& path) { return QString::fromLocal8Bit(path.c_str()); }

// The window's own words while it waits, over its bottom edge (and its
// buttons, which have nothing to do meanwhile).
class BusyNote {
 public:
  BusyNote(QWidget* window, const std::string& target) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (!window) return;
    label_ = new QLabel(
        u"Файл "_s + pathText(target) + u" занят другой программой. Подождите, пожалуйста…"_s,
        window);
    label_->setObjectName(QStringLiteral("BusyNote"));
    label_->setTextFormat(Qt::PlainText);
    label_->setAlignment(Qt::AlignCenter);
    label_->setWordWrap(true);
    label_->setAutoFillBackground(true);
    label_->setGeometry(0, window->height() - 40, window->width(), 40);
    label_->show();
    label_->raise();
  }
  ~BusyNote() {
    delete label_;
    QApplication::restoreOverrideCursor();
  }
  BusyNote(const BusyNote&) = delete;
  BusyNote& operator=(const BusyNote&) = delete;

 private:
  QLabel* label_ = nullptr;
};

// Lets the window answer for a step; false when the program is ending.
bool pause() {
  if (programEnding()) return false;
  QEventLoop loop;
  QTimer::singleShot(kRetryStepMs, &loop, &QEventLoop::quit);
  loop.exec();
  return !programEnding();
}

// Appends entry to its log, retrying while the log is busy.
std::optional<AppendFailure> deliverPatiently(QWidget* window, const Services& services,
                                              Courier& courier, const OutboxEntry& entry) {
  std::optional<AppendFailure> failed = courier.deliver(entry);
  if (!failed || failed->code != EWOULDBLOCK) return failed;
  const BusyNote note(window, entry.target);
  const std::int64_t until = services.clock.monotonicMs() + kLockPatienceMs;
  while (failed && failed->code == EWOULDBLOCK && services.clock.monotonicMs() < until && pause())
    failed = courier.deliver(entry);
  return failed;
}

// Runs work on a thread of its own while the window repaints but takes no
// input, so that nothing the user does can start another action meanwhile.
// Ending the program stops the waiting; the work itself is bounded anyway.
template <typename Work>
void offTheWindow(Work work) {
  std::atomic<bool> done = false;
  std::thread worker([&] {
    work();
    done = true;
  });
  QApplication::setOverrideCursor(Qt::WaitCursor);
  QEventLoop loop;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (done || programEnding()) loop.quit();
  });
  poll.start(10);
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  worker.join();
  QApplication::restoreOverrideCursor();
}

// Sends what waits for the server; why the entry (of that id and kind) is
// still waiting, or empty. Without an outbox file for it, the entry goes alone.
std::string sendToServer(const Services& services, const OutboxEntry& copy, bool inOutbox) {
  std::string waits;
  offTheWindow([&] {
    if (!inOutbox) {
      ServerCourier courier(services.seat.records,
                            std::chrono::steady_clock::now() + kRecordsBound);
      if (const auto failed = courier.deliver(copy)) waits = failed->reason;
      return;
    }
    for (const auto& [item, failure] :
         deliverToServer(services.seat.outboxFolder, services.seat.records).left)
      if (item.entry.id == copy.id && item.entry.kind == copy.kind) waits = failure.reason;
  });
  return waits;
}

}  // namespace

OutboxEntry seatEntry(const Services& services, const char* kind, const std::string& logName,
                      bool exam, const std::string& id, std::string payload) {
  OutboxEntry entry;
  entry.kind = kind;
  entry.target = services.path(logName);
  if (entry.target.empty() || entry.target.front() != '/') {
    // The outbox may be delivered from another folder: the log is named whole.
    const QByteArray absolute =
        QDir::current().absoluteFilePath(pathText(entry.target)).toLocal8Bit();
    entry.target.assign(absolute.constData(), static_cast<std::size_t>(absolute.size()));
  }
  entry.id = id;
  entry.host = services.seat.host;
  entry.account = services.seat.account;
  entry.exam = exam;
  entry.since = logSize(entry.target);
  entry.payload = std::move(payload);
  return entry;
}

Kept keepEntry(QWidget* window, const Services& services, const OutboxEntry& entry) {
  Kept kept;
  kept.target = entry.target;
  kept.outboxFolder = services.seat.outboxFolder;
  LogCourier courier;
  const auto put = putInOutbox(services.seat.outboxFolder, entry);
  if (!put) kept.outboxFailure = put.error();
  // The server's copy waits beside the log's, so that each gets the entry once.
  const bool toServer = !services.seat.records.empty();
  OutboxEntry copy = entry;
  copy.target = "server";
  copy.since = 0;
  bool copyPut = false;
  if (toServer) {
    const auto copyFile = putInOutbox(services.seat.outboxFolder, copy);
    copyPut = copyFile.has_value();
    if (!copyPut && put) kept.outboxFailure = copyFile.error();
  }
  if (const auto failed = deliverPatiently(window, services, courier, entry)) {
    kept.logFailure = *failed;
    kept.where = put ? Kept::Where::Outbox : Kept::Where::Nowhere;
  } else {
    kept.where = Kept::Where::Log;
    if (put) {
      removeFromOutbox(*put);
      // What waited for an earlier failure goes along now, without waiting.
      deliverOutbox(services.seat.outboxFolder, courier);
    }
  }
  if (toServer && !programEnding()) kept.serverWaits = sendToServer(services, copy, copyPut);
  return kept;
}

QString keptNotice(const Kept& kept, bool record) {
  const QString what = record ? u"Протокол"_s : u"Отметка о начале теста"_s;
  const QString log = pathText(kept.target);
  const QString outbox = pathText(kept.outboxFolder);
  // A start mark that only waits for the server is not worth a word: its
  // test's record will say it if the server stays away.
  const QString server = record && !kept.serverWaits.empty()
                             ? fromCp1251(kept.serverWaits) + QStringLiteral(".")
                             : QString();
  switch (kept.where) {
    case Kept::Where::Log:
      if (server.isEmpty()) return {};
      if (!kept.outboxFailure.reason.empty())
        return u"Протокол записан в журнал, но не отправлен на сервер протоколов: "_s + server +
               u" Оставить его для отправки позже в папке "_s + outbox + u" не удалось: "_s +
               fromCp1251(kept.outboxFailure.reason) + u"."_s;
      return u"Протокол записан в журнал и будет отправлен на сервер позже: "_s + server;
    case Kept::Where::Outbox:
      return what + (record ? u" не записан в файл "_s : u" не записана в файл "_s) + log +
             u": "_s + fromCp1251(kept.logFailure.reason) +
             (record ? u". Он сохранён в папке "_s : u". Она сохранена в папке "_s) + outbox +
             u" и будет дописан"_s + (record ? QString() : u"а"_s) +
             u" в журнал при следующем запуске программы."_s +
             (server.isEmpty()
                  ? QString()
                  : u" На сервер протоколов он тоже будет отправлен позже: "_s + server);
    case Kept::Where::Nowhere:
      return what + (record ? u" не записан ни в файл "_s : u" не записана ни в файл "_s) + log +
             u" ("_s + fromCp1251(kept.logFailure.reason) + u"), ни в папку "_s + outbox + u" ("_s +
             fromCp1251(kept.outboxFailure.reason) + u")."_s;
  }
  return {};
}
