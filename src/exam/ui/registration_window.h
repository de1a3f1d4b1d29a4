#pragma once
// The registration window: the candidate's code, name and group, with the
// live date and time. Accepted data go into the session.
#include "bank/session_state.h"
#include "platform/ui/form.h"
#include "platform/ui/services.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

// TForm10: the candidate's registration before a test.
class TForm10 final : public TFormBase {
  Q_OBJECT

 public:
  TForm10(SessionState& session, const Services& services, QWidget* owner);

  void Timer1Timer();
  void Button1Click();
  void Button2Click();

 protected:
  void FormActivate() override;

 private:
  SessionState& session_;
  const Services& services_;
  QLabel* Label6 = nullptr;
  QLabel* Label8 = nullptr;
  QLineEdit* Edit1 = nullptr;
  QLineEdit* Edit2 = nullptr;
  QLineEdit* Edit3 = nullptr;
  QPushButton* Button1 = nullptr;
  QPushButton* Button2 = nullptr;
  QTimer* Timer1 = nullptr;
};
