#pragma once
// The course editor's window: the tree "Темы и вопросы", the fields of the
// selected question, the question as the student will see it and the checker's
// findings on the course as edited, with the menus a desktop editor has.
#include <QMainWindow>
#include <memory>

#include "author/ui/check_runner.h"
#include "author/ui/course_session.h"

class CardPreview;
class CourseTreeModel;
class EditorPrompts;
class QLabel;
class QMenu;
class QSettings;
class QTreeView;
class QTreeWidget;
class QTreeWidgetItem;
class QuestionPanel;

class EditorWindow final : public QMainWindow {
  Q_OBJECT

 public:
  // settings keeps the last folders; prompts asks the user and starts the program.
  EditorWindow(EditorPrompts& prompts, QSettings& settings, QWidget* parent = nullptr);
  ~EditorWindow() override;

  // Opens the course in folder, asking first about unsaved changes; false when
  // it stays closed (the reason was told).
  bool openFolder(const QString& folder);
  // Starts a course from the template in folder (empty: asks for one).
  bool createCourse(const QString& folder = {});
  // Writes the changed files; false when nothing was written (the reason was told).
  bool save();
  void selectPlace(const Place& place);

  CourseSession& session() { return session_; }
  QuestionPanel* panel() const { return panel_; }
  CardPreview* preview() const { return preview_; }
  QTreeView* tree() const { return tree_; }
  QTreeWidget* findings() const { return findings_; }
  CheckRunner& checker() { return checker_; }
  QString folder() const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildMenus();
  // Asks "Сохранить изменения?" when there are any; false when the user cancels.
  bool settleChanges();
  // Puts the course in the window in place of the one before, whose check is dropped.
  void showCourse(CourseDocument doc, bool saved);
  void courseChanged(Place place, bool structural);
  void currentChanged();
  Place currentPlace() const;
  void updateTitle();
  void updateActions();
  void scheduleCheck();
  void showFindings();
  void goToFinding(QTreeWidgetItem* item);
  void rememberFolder(const QString& folder);
  void fillRecentMenu();
  void showNotice(const QString& text);

  void addTopic();
  void renameTopic();
  void moveTopic(int delta);
  void deleteTopic();
  void addQuestion(bool afterSelected, bool sameOptions);
  void deleteQuestion();
  void moveQuestion(int delta);
  void editRanges();
  void editIdentity();
  void importFile();
  void exportFile();
  void runCourse();
  void openChosenFolder();

  EditorPrompts& prompts_;
  QSettings& settings_;
  CourseSession session_;
  CheckRunner checker_;
  CourseTreeModel* treeModel_ = nullptr;
  QTreeView* tree_ = nullptr;
  QuestionPanel* panel_ = nullptr;
  CardPreview* preview_ = nullptr;
  QTreeWidget* findings_ = nullptr;
  QLabel* summary_ = nullptr;
  QMenu* recentMenu_ = nullptr;
  std::vector<QAction*> courseActions_;  // enabled only with a course open
  QAction* topicUp_ = nullptr;
  QAction* topicDown_ = nullptr;
  QAction* questionUp_ = nullptr;
  QAction* questionDown_ = nullptr;
  bool selecting_ = false;
};
