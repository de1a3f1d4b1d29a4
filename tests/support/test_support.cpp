#include "support/test_support.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <fstream>

#include "app/ui/help_window.h"
#include "bank/question_bank.h"
#include "bank/range_file.h"
#include "bank/ui/mode_window.h"
#include "bank/ui/range_window.h"
#include "exam/ui/registration_window.h"
#include "exam/ui/report_window.h"
#include "exam/ui/testing_window.h"
#include "platform/cp1251.h"
#include "study/ui/browser_window.h"
#include "study/ui/consultation_window.h"
#include "study/ui/diagram_window.h"
#include "study/ui/self_control_window.h"

void RecordingMessageSink::message(QWidget*, const QString& title, const QString& text) {
  shown.push_back({title, text});
}

QStringList RecordingMessageSink::titles() const {
  QStringList list;
  for (const auto& m : shown) list << m.title;
  return list;
}

unsigned ScriptedRandom::below(unsigned n) {
  const unsigned value = next < script.size() ? script[next++] : 0;
  return n == 0 ? 0 : value % n;
}

TempFolder::TempFolder() {
  static std::atomic<int> counter{0};
  dir_ = std::filesystem::temp_directory_path() /
         ("vorsanit-test-" + std::to_string(QCoreApplication::applicationPid()) + "-" +
          std::to_string(counter++));
  std::filesystem::remove_all(dir_);
  std::filesystem::create_directories(dir_);
}

TempFolder::~TempFolder() {
  std::error_code ec;
  std::filesystem::remove_all(dir_, ec);
}

std::string TempFolder::path() const { return dir_.string() + "/"; }

void TempFolder::write(const std::string& name, const std::string& bytes) const {
  std::ofstream out(dir_ / name, std::ios::binary);
  out << bytes;
}

void TempFolder::writeLines(const std::string& name,
                            const std::vector<std::string>& utf8Lines) const {
  std::string bytes;
  for (const auto& line : utf8Lines) bytes += cp1251FromUtf8(line) + "\r\n";
  write(name, bytes);
}

void TempFolder::copySampleCourse() const {
  for (const auto& entry : std::filesystem::directory_iterator(SAMPLE_COURSE_DIR))
    std::filesystem::copy_file(entry.path(), dir_ / entry.path().filename(),
                               std::filesystem::copy_options::overwrite_existing);
}

void whileModal(const std::function<void()>& body, const std::function<bool(QWidget*)>& handler) {
  bool active = true;
  QTimer timer;
  timer.setInterval(5);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    if (!active) return;
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal->isVisible()) active = handler(modal);
  });
  timer.start();
  body();
  timer.stop();
}

QuestionBank rightFirstBank(int count) {
  QuestionBank bank;
  for (int i = 1; i <= count; ++i) {
    bank.QuestionTexts.push_back("Q" + std::to_string(i));
    bank.QuestionFlags.push_back(1);
    for (const char* option : {"_1_right", "_2_wrong"}) {
      bank.AnswerTexts.push_back(option);
      bank.AnswerQuestionSets.push_back("_" + std::to_string(i) + "_");
    }
  }
  return bank;
}

void settle() {
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
}

bool forEachWindow(const Services& services, const std::string& folder,
                   const std::vector<ReportCase>& reports,
                   const std::function<void(TFormBase&, const QString&)>& visit) {
  SessionState session;
  session.TopicCount = 4;
  session.SelectedTopic = 1;
  session.RangeFirst = 1;
  session.RangeLast = 35;
  session.TopicTitles = {"all", "first"};
  session.CandidateName = "Ivanov";
  session.CandidateCode = "7";
  session.CandidateGroup = "M-121";
  const BankLoad load = loadBank(folder, 1, 4);
  if (load.error) return false;
  const QuestionBank& bank = load.bank;

  const auto visitNew = [&](auto&& window, const char* name) {
    visit(window, QString::fromLatin1(name));
  };
  visitNew(TForm3(nullptr), "TForm3");
  visitNew(TForm4(session, services, nullptr), "TForm4");
  visitNew(TForm5(bank, nullptr), "TForm5");
  visitNew(TForm6(session, services, loadRanges(folder, session.SelectedTopic),
                  bank.QuestionTexts.size(), nullptr),
           "TForm6");
  visitNew(TForm7(session, bank, services, nullptr), "TForm7");
  visitNew(TForm8(session, bank, 0, services, nullptr), "TForm8");
  visitNew(TForm9(session, services, nullptr), "TForm9");
  visitNew(TForm10(session, services, nullptr), "TForm10");
  visitNew(TForm11(session, bank, services, nullptr), "TForm11");
  for (const ReportCase& report : reports) {
    session.SelectedMode = report.exam ? 1 : 2;
    TestResults results;
    results.AnswerCount = 10;
    results.ErrorCount = static_cast<std::uint16_t>(report.errors);
    results.end = TestEnd::TenAnswers;
    const OutboxEntry record;
    Kept kept;
    kept.where = Kept::Where::Log;
    TForm12 window(session, results, services, record, kept, nullptr);
    visit(window, QStringLiteral("TForm12-%1%2")
                      .arg(report.exam ? QString() : QStringLiteral("pass-"))
                      .arg(report.errors));
  }
  return true;
}
