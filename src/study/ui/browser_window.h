#pragma once
// The question browser: every question of the loaded bank, dealt into tickets
// of ten, one ticket a page. Question texts only, no options or answers.
#include <cstdint>

#include "bank/question_bank.h"
#include "platform/ui/form.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

// TForm5: the question browser, one ticket of ten a page.
class TForm5 final : public TFormBase {
  Q_OBJECT

 public:
  TForm5(const QuestionBank& bank, QWidget* owner);

  std::uint16_t ticketNumber() const { return TicketNumber; }
  std::uint16_t ticketCount() const { return TicketCount; }

  void Button1Click();  // "Предыдущий"
  void Button2Click();  // "Следующий"
  void Button3Click();  // "Отмена"

 protected:
  void FormActivate() override;

 private:
  void showTicket(std::uint16_t ticket);

  const QuestionBank& bank_;
  std::uint16_t TicketNumber = 0;  // 0 while there is no ticket to show
  std::uint16_t TicketCount = 0;

  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QPlainTextEdit* Memo1 = nullptr;
  QPushButton* Button1 = nullptr;
  QPushButton* Button2 = nullptr;
  QPushButton* Button3 = nullptr;
};
