#pragma once
// The title window: the course, the program's purpose and its authorship,
// shown at start-up and from "О программе".
#include "app/course_identity.h"
#include "platform/ui/form.h"

class QLabel;
class QPushButton;

// TForm1: the title, shown at start-up and from "О программе".
class TForm1 final : public TFormBase {
  Q_OBJECT

 public:
  // The identity's title and title screen lines stand in for the sample's.
  explicit TForm1(QWidget* owner, const CourseIdentity& identity = {});

 private:
  void FormCreate();
  void Button1Click();

  CourseIdentity identity_;
  QLabel* Label5 = nullptr;
  QPushButton* Button1 = nullptr;
};
