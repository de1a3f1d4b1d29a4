#pragma once
// The help window: a fixed description of the four working modes and the
// recommended literature.
#include "platform/ui/form.h"

class QPlainTextEdit;
class QPushButton;

// TForm3: help on the working modes and the literature.
class TForm3 final : public TFormBase {
  Q_OBJECT

 public:
  explicit TForm3(QWidget* owner);

 protected:
  void FormActivate() override;

 private:
  void Button1Click();

  QPlainTextEdit* Memo1 = nullptr;
  QPushButton* Button1 = nullptr;
};
