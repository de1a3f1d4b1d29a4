#pragma once
// The consultation window: the consultation block that explains the question on
// show, and a way to its diagram when the block's first line names one.
#include <cstdint>

#include "bank/question_bank.h"
#include "bank/session_state.h"
#include "platform/ui/form.h"
#include "platform/ui/services.h"

class QPlainTextEdit;
class QPushButton;

// TForm8: the consultation on the question the self-control window shows.
class TForm8 final : public TFormBase {
  Q_OBJECT

 public:
  // currentQuestion is the 0-based position of the question the opener shows.
  TForm8(SessionState& session, const QuestionBank& bank, std::uint16_t currentQuestion,
         const Services& services, QWidget* owner);
  // The window keeps a reference to the bank, so a temporary one would dangle.
  TForm8(SessionState&, QuestionBank&&, std::uint16_t, const Services&, QWidget*) = delete;

  void Button1Click();  // "Вернуться"
  void Button2Click();  // "Диаграмма"

 protected:
  void FormActivate() override;

 private:
  SessionState& session_;
  const QuestionBank& bank_;
  std::uint16_t currentQuestion_;
  const Services& services_;

  QPlainTextEdit* Memo1 = nullptr;
  QPushButton* Button1 = nullptr;
  QPushButton* Button2 = nullptr;
};
