#pragma once
// The editor's questions to the user and its way out to other programs: message
// boxes, file choosers and starting the program on a course. The editor gets the
// real ones from main(); a test hands in answers of its own.
#include <QString>
#include <optional>

class QWidget;

class EditorPrompts {
 public:
  enum class Answer { Save, Discard, Cancel };
  virtual ~EditorPrompts() = default;
  // "Сохранить изменения?" with Save, Don't save and Cancel.
  virtual Answer askSave(QWidget* parent, const QString& text) = 0;
  virtual bool confirm(QWidget* parent, const QString& title, const QString& text) = 0;
  virtual void inform(QWidget* parent, const QString& title, const QString& text) = 0;
  // Empty when the user cancels.
  virtual QString chooseFolder(QWidget* parent, const QString& title) = 0;
  virtual QString chooseOpenFile(QWidget* parent, const QString& title, const QString& filter) = 0;
  virtual QString chooseSaveFile(QWidget* parent, const QString& title, const QString& filter,
                                 QString* chosenFilter) = 0;
  virtual std::optional<int> askNumber(QWidget* parent, const QString& title, const QString& label,
                                       int value, int min, int max) = 0;
  virtual std::optional<QString> askText(QWidget* parent, const QString& title,
                                         const QString& label, const QString& text) = 0;
  // Starts program on the course folder, from within it; false when it could not.
  virtual bool startProgram(const QString& program, const QString& folder) = 0;
};

class QtEditorPrompts final : public EditorPrompts {
 public:
  Answer askSave(QWidget* parent, const QString& text) override;
  bool confirm(QWidget* parent, const QString& title, const QString& text) override;
  void inform(QWidget* parent, const QString& title, const QString& text) override;
  QString chooseFolder(QWidget* parent, const QString& title) override;
  QString chooseOpenFile(QWidget* parent, const QString& title, const QString& filter) override;
  QString chooseSaveFile(QWidget* parent, const QString& title, const QString& filter,
                         QString* chosenFilter) override;
  std::optional<int> askNumber(QWidget* parent, const QString& title, const QString& label,
                               int value, int min, int max) override;
  std::optional<QString> askText(QWidget* parent, const QString& title, const QString& label,
                                 const QString& text) override;
  bool startProgram(const QString& program, const QString& folder) override;
};
