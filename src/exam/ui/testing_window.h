#pragma once
// The testing window: one timed test of the exam or pass/fail mode. The test
// itself is a TestSession; the window shows its questions, passes the answers
// and clock ticks on, and opens the report when the test is over.
#include <memory>
#include <string>

#include "bank/question_bank.h"
#include "bank/session_state.h"
#include "bank/ui/card_widgets.h"
#include "exam/test_session.h"
#include "platform/ui/form.h"
#include "platform/ui/services.h"

class QLabel;
class QPushButton;
class QTimer;

// TForm11: the timed test.
class TForm11 final : public TFormBase {
  Q_OBJECT

 public:
  TForm11(SessionState& session, const QuestionBank& bank, const Services& services,
          QWidget* owner);
  ~TForm11() override;

  // The test under way; null before the window is first shown.
  const TestSession* test() const { return test_.get(); }
  const QuestionCard& card() const { return *card_; }

  void Button1Click();
  void Button2Click();
  void Timer1Timer();
  void ShowRemainingTime();

 protected:
  void FormActivate() override;

 private:
  void showQuestion();
  // Leaves the test's start mark; false when the test may not begin.
  bool markStart();
  void endTest();

  SessionState& session_;
  SessionState started_;  // the session as the test found it
  const QuestionBank& bank_;
  const Services& services_;
  std::unique_ptr<TestSession> test_;
  std::string testId_;  // carried by the start mark and the record
  QuestionCard* card_ = nullptr;
  bool reportOpen_ = false;

  QLabel* TimeLabel2 = nullptr;
  QLabel* Label5 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label3 = nullptr;
  QPushButton* Button1 = nullptr;
  QPushButton* Button2 = nullptr;
  QTimer* Timer1 = nullptr;
};
