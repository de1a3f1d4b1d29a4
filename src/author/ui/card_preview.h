#pragma once
// The selected question as a student will see it: the testing window's own
// question card, at the size the program gives the window, with a mark when
// the window would not fit a 1024 x 768 screen.
#include <QWidget>

#include "author/course_model.h"
#include "bank/question_bank.h"
#include "platform/ui/form.h"

class QLabel;
class QScrollArea;
class QuestionCard;

// The testing window's controls without its timer and test: what the card
// places, in the fonts and colours of the program.
class PreviewForm final : public TFormBase {
  Q_OBJECT

 public:
  explicit PreviewForm(QWidget* parent);
  // Lays the question out and sizes itself; returns the window's outer height.
  int showQuestion(const QuestionBank& bank);

 private:
  void ignoreClick() {}
  QLabel* Label1 = nullptr;
  QLabel* Label3 = nullptr;
  QPushButton* Button1 = nullptr;
  QPushButton* Button2 = nullptr;
  QuestionCard* card_ = nullptr;
};

class CardPreview final : public QWidget {
  Q_OBJECT

 public:
  explicit CardPreview(QWidget* parent);
  // Shows the question, or nothing (no question selected).
  void showQuestion(const QuestionView* question);
  // The bank of one question that the card lays out.
  static QuestionBank bankOf(const QuestionView& question);

 private:
  QString heightText() const;
  QLabel* mark_ = nullptr;
  QScrollArea* scroll_ = nullptr;
  PreviewForm* form_ = nullptr;
  int height_ = 0;
};
