#pragma once
// Fakes for the seams and small helpers shared by the window tests.
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bank/question_bank.h"
#include "platform/ui/services.h"

class QWidget;
class TFormBase;

struct ShownMessage {
  QString title;
  QString text;
};

// Records every message box instead of showing it.
class RecordingMessageSink final : public MessageSink {
 public:
  void message(QWidget* parent, const QString& title, const QString& text) override;
  std::vector<ShownMessage> shown;
  QStringList titles() const;
};

class FakeClock final : public Clock {
 public:
  QDateTime now() const override { return time; }
  std::int64_t monotonicMs() const override { return monotonic; }
  QDateTime time{QDate(2024, 3, 5), QTime(7, 8, 9)};
  std::int64_t monotonic = 1'000'000;
};

// Hands out the numbers it was given, in turn, then zeros.
class ScriptedRandom final : public Random {
 public:
  unsigned below(unsigned n) override;
  std::vector<unsigned> script;
  std::size_t next = 0;
};

// A fresh folder per test, removed afterwards; files are written as bytes.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  std::string path() const;  // ends in '/'
  void write(const std::string& name, const std::string& bytes) const;
  // Writes UTF-8 lines as code page 1251 with CR LF line ends.
  void writeLines(const std::string& name, const std::vector<std::string>& utf8Lines) const;
  // Copies the sample course into the folder.
  void copySampleCourse() const;

 private:
  std::filesystem::path dir_;
};

// All the fakes, bundled as the windows expect them.
struct FakeServices {
  RecordingMessageSink messages;
  FakeClock clock;
  ScriptedRandom random;
  std::string records;  // the records server's connection string; none by default
  // The account's outbox is a folder of its own inside the test's folder.
  Services services(const std::string& folder) {
    return Services{folder, messages, clock, random,
                    Seat{"seat-01", "student", folder + "outbox/", records}};
  }
};

// Calls handler with each modal window that becomes active while body runs,
// until handler returns false or body returns. A handler that does not close
// the window is called again for it, so it can wait for a condition.
void whileModal(const std::function<void()>& body, const std::function<bool(QWidget*)>& handler);

// One report the window walk below builds: an exam's or a pass/fail test's,
// after ten answers with so many errors.
struct ReportCase {
  bool exam = true;
  int errors = 0;
};

// Builds every window past the main one on the sample course in folder (its
// first topic, a registered candidate) and hands each to visit, unshown, with
// its class name: help, mode, browser, range, self-control, consultation,
// diagram, registration and testing, then a report per case, named
// "TForm12-<errors>" for an exam and "TForm12-pass-<errors>" for a test.
// Returns false when the sample course does not load.
bool forEachWindow(const Services& services, const std::string& folder,
                   const std::vector<ReportCase>& reports,
                   const std::function<void(TFormBase&, const QString&)>& visit);

// count questions "Q1", "Q2", …; each has a right option (digit 1) first and
// a wrong one (digit 2) second, and no consultation.
QuestionBank rightFirstBank(int count);

// Lets queued events (such as window activation) run.
void settle();

// Text through the window edge: UTF-8 literal to QString.
inline QString u8(const char* utf8) { return QString::fromUtf8(utf8); }
