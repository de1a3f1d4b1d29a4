#pragma once
// The self-control window: any question of the working range can be opened,
// answered and judged at once; nothing is scored or logged.
#include <cstdint>
#include <optional>

#include "bank/question_bank.h"
#include "bank/session_state.h"
#include "bank/ui/card_widgets.h"
#include "platform/ui/form.h"
#include "platform/ui/services.h"

class QLabel;
class QLineEdit;
class QPushButton;
class UpDown;

// TForm7: self-control, any question of the range answered and judged at once.
class TForm7 final : public TFormBase {
  Q_OBJECT

 public:
  TForm7(SessionState& session, const QuestionBank& bank, const Services& services, QWidget* owner);

  // 0-based position of the question shown.
  std::uint16_t currentQuestion() const { return CurrentQuestion; }
  const QuestionCard& card() const { return *card_; }

  void Button1Click();  // "Ответить"
  void Button2Click();  // "Предыдущий"
  void Button3Click();  // "Следующий"
  void Button4Click();  // "Консультация"
  void Button5Click();  // "Отмена"
  void Edit1Change();   // "Ввести"

 protected:
  void FormActivate() override;

 private:
  void showQuestion();
  void applyStepButtons(unsigned shown);
  // Green captions, bold where they still fit, on the options of the question
  // shown that carry its right digit.
  void markRightOptions();

  SessionState& session_;
  const QuestionBank& bank_;
  const Services& services_;
  std::uint16_t first_ = 1;  // the working range, within the bank
  std::uint16_t last_ = 1;
  std::uint16_t CurrentQuestion = 0;
  QuestionCard* card_ = nullptr;
  // The question whose right options are marked after a wrong answer, while it is shown.
  std::optional<std::uint16_t> markedQuestion_;

  QLabel* Label1 = nullptr;
  QLineEdit* Edit1 = nullptr;
  UpDown* UpDown1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  QPushButton* Button1 = nullptr;
  QPushButton* Button2 = nullptr;
  QPushButton* Button3 = nullptr;
  QPushButton* Button4 = nullptr;
  QPushButton* Button5 = nullptr;
  QPushButton* Button6 = nullptr;
};
