#pragma once
// The title window: the course, the program's purpose and its authorship,
// shown at start-up and from "О программе".
#include "platform/ui/form.h"

class QLabel;
class QPushButton;

// TForm1: the title, shown at start-up and from "О программе".
class TForm1 final : public TFormBase {
  Q_OBJECT

 public:
  explicit TForm1(QWidget* owner);

 private:
  void FormCreate();
  void Button1Click();

  QLabel* Label5 = nullptr;
  QPushButton* Button1 = nullptr;
};
