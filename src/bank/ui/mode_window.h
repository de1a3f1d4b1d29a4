#pragma once
// The mode window: loads the question bank of the chosen topic each time it is
// shown and records the working mode the user picks.
#include <array>

#include "bank/question_bank.h"
#include "bank/session_state.h"
#include "platform/ui/form.h"
#include "platform/ui/services.h"

class QLabel;
class QPushButton;
class QRadioButton;

// TForm4: the choice of the working mode; it loads the topic's questions.
class TForm4 final : public TFormBase {
  Q_OBJECT

 public:
  TForm4(SessionState& session, const Services& services, QWidget* owner);

  // The bank lives as long as this window: one pass through a mode.
  const QuestionBank& bank() const { return load_.bank; }
  const BankLoad& load() const { return load_; }

  void Button1Click();

 protected:
  void FormActivate() override;

 private:
  SessionState& session_;
  const Services& services_;
  BankLoad load_;

  QLabel* Label1 = nullptr;
  std::array<QRadioButton*, 5> radioButtons_{};  // RadioButton1 .. RadioButton5
  QPushButton* Button1 = nullptr;
};
