#pragma once
// The help window: a fixed description of the four working modes and the
// recommended literature.
#include "app/course_identity.h"
#include "platform/ui/form.h"

class QPlainTextEdit;
class QPushButton;

// TForm3: help on the working modes and the literature.
class TForm3 final : public TFormBase {
  Q_OBJECT

 public:
  // The identity's help lines stand in for the sample's literature.
  explicit TForm3(QWidget* owner, const CourseIdentity& identity = {});

 protected:
  void FormActivate() override;

 private:
  void Button1Click();

  QPlainTextEdit* Memo1 = nullptr;
  QPushButton* Button1 = nullptr;
};
