#pragma once
// The seams between the program and the world: program folder, message boxes,
// clock and chance. main() hands the real ones to the windows; tests hand fakes.
#include <QDateTime>
#include <QString>
#include <chrono>
#include <cstdint>
#include <string>

#include "platform/random.h"

class QWidget;

// A message box with one OK button.
class MessageSink {
 public:
  virtual ~MessageSink() = default;
  virtual void message(QWidget* parent, const QString& title, const QString& text) = 0;
};

class QtMessageSink final : public MessageSink {
 public:
  void message(QWidget* parent, const QString& title, const QString& text) override;
};

// The calendar time for what is shown and logged, and a monotonic count of
// milliseconds for measuring a time limit (it never jumps with the calendar).
class Clock {
 public:
  virtual ~Clock() = default;
  virtual QDateTime now() const = 0;
  virtual std::int64_t monotonicMs() const = 0;
};

class SystemClock final : public Clock {
 public:
  QDateTime now() const override { return QDateTime::currentDateTime(); }
  std::int64_t monotonicMs() const override {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
  }
};

// The seat a test runs on: what its start mark and record carry besides the
// test, and the account's outbox, where they wait until they reach the log.
struct Seat {
  std::string host;
  std::string account;
  std::string outboxFolder;  // ends in '/'
  std::string records;       // the records server's connection string; empty: none set up
};

struct Services {
  std::string programFolder;  // ends in '/', or empty for the current directory
  MessageSink& messages;
  Clock& clock;
  Random& random;
  Seat seat;
  // Whether the course folder was named when the program started: its diagrams
  // then come before those of the current directory.
  bool courseNamed = false;

  // A course file in the program folder.
  std::string path(const std::string& name) const { return programFolder + name; }
};

// Set once the program has been asked to end (a signal): waits that run their
// own event loop stop at once instead of going on.
void markProgramEnding();
bool programEnding();

// SIGTERM, SIGHUP and SIGINT end the program from its event loop: every
// window's loop returns, nothing more is shown, and programEnding() holds.
void endCleanlyOnSignals();

// The folder of the running program file, up to and including its last separator.
std::string programFolderOf(const QString& programPath);
