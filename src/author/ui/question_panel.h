#pragma once
// The fields of the selected question: "Текст вопроса", "Варианты ответа" with
// "Правильный ответ", "Консультация" and "Рисунок", each shared with other
// questions the way the course's sets say, and each change one edit of the course.
#include <QWidget>

#include "author/ui/course_session.h"

class EditorPrompts;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTableWidgetItem;

class QuestionPanel final : public QWidget {
  Q_OBJECT

 public:
  QuestionPanel(CourseSession& session, EditorPrompts& prompts, QWidget* parent);

  // Shows the question at place (none: the fields are emptied and disabled).
  void showPlace(const Place& place);
  const Place& place() const { return place_; }

  QPlainTextEdit* questionText() const { return questionText_; }
  QTableWidget* options() const { return options_; }
  QComboBox* rightAnswer() const { return rightAnswer_; }
  QPlainTextEdit* consultation() const { return consultation_; }
  QSpinBox* diagram() const { return diagram_; }
  QPushButton* choosePicture() const { return choosePicture_; }

 signals:
  // A character code page 1251 lacks was typed and replaced.
  void notice(const QString& text);

 private:
  bool hasQuestion() const { return place_.question.has_value(); }
  bool edit(const QString& what, const CourseSession::Edit& fn, MergeKey merge = MergeKey::None,
            std::optional<std::size_t> item = std::nullopt);
  std::string typed(const QString& text);
  void questionTextChanged();
  void optionChanged(QTableWidgetItem* item);
  void rightAnswerChosen(int index);
  void addOption();
  void removeOption();
  void moveOption(int delta);
  void shareWith(bool options);
  void consultationChanged();
  void diagramChanged(int value);
  void choosePictureClicked();
  void showPicture(const QuestionView& view);
  std::optional<std::size_t> selectedOptionLine() const;

  CourseSession& session_;
  EditorPrompts& prompts_;
  Place place_;
  bool filling_ = false;
  bool enabled_ = true;                   // whether the fields are enabled (a question is shown)
  std::vector<std::size_t> optionLines_;  // the otvet.txt line of each row

  QLabel* heading_ = nullptr;
  QPlainTextEdit* questionText_ = nullptr;
  QLabel* optionsShared_ = nullptr;
  QTableWidget* options_ = nullptr;
  QComboBox* rightAnswer_ = nullptr;
  QPushButton* addOption_ = nullptr;
  QPushButton* removeOption_ = nullptr;
  QPushButton* optionUp_ = nullptr;
  QPushButton* optionDown_ = nullptr;
  QPushButton* ownOptions_ = nullptr;
  QPushButton* shareOptions_ = nullptr;
  QLabel* consultationShared_ = nullptr;
  QPlainTextEdit* consultation_ = nullptr;
  QPushButton* ownConsultation_ = nullptr;
  QPushButton* shareConsultation_ = nullptr;
  QSpinBox* diagram_ = nullptr;
  QLabel* picture_ = nullptr;
  QLabel* pictureName_ = nullptr;
  QPushButton* choosePicture_ = nullptr;
  QPushButton* removePicture_ = nullptr;
};
