#pragma once
// The main window: the topic list from main.txt, the start button that runs
// one pass through a mode, and the menu.
#include <QMainWindow>
#include <optional>
#include <vector>

#include "app/course_identity.h"
#include "app/mode_flow.h"
#include "bank/question_bank.h"
#include "bank/session_state.h"
#include "platform/ui/services.h"

class QAction;
class QLabel;
class QPushButton;
class QRadioButton;
class TForm4;

// TForm2: the main window, where a topic is chosen and a mode started.
class TForm2 final : public QMainWindow {
  Q_OBJECT

 public:
  // Builds the window and runs the topic-list handler once (showing the title
  // window first), as the window's creation does.
  explicit TForm2(Services services);
  ~TForm2() override;

  SessionState& session() { return state_; }
  const std::vector<QRadioButton*>& topicButtons() const { return TopicButtons; }
  // The outer size the design speaks of: client area, menu bar and nominal frame.
  QSize nominalOuterSize() const;

  // Handlers, named after the design's controls.
  void FormCreate();
  void Button1Click();
  void Button2Click();
  void N2Click();
  void N4Click();
  void N5Click();

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void showTitleScreen();
  void setOuterHeight(int height);
  void clearTopicButtons();
  void fitTopics();
  void runMode(TForm4& modeWindow);
  void say(const FlowMessage& message);
  // False, having said so with the step's title, when readFault is one of the
  // step's files missing.
  bool filesFound(const NeededFiles& needed, const std::optional<DataError>& readFault);
  void rangeStep(const ModePlan& plan, std::size_t questionCount);
  void registrationStep(const QuestionBank& bank);
  QString missingFileText(const char* name) const;
  void reportMissingTopics(const QString& message);

  Services services_;
  CourseIdentity identity_;  // from kurs.txt, read once before the title window
  SessionState state_;
  bool ShowTitleScreen = true;
  bool firstShowSeen_ = false;
  // Set while a pass through a mode runs: the handlers then start nothing, since
  // modality blocks input but an accessibility client can still press a button.
  bool modeRunning_ = false;
  bool missingTopicsReported_ = false;

  QWidget* client_ = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QPushButton* Button1 = nullptr;
  QPushButton* Button2 = nullptr;
  QAction* N2 = nullptr;
  QAction* N4 = nullptr;
  QAction* N5 = nullptr;
  std::vector<QRadioButton*> TopicButtons;
};
