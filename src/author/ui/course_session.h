#pragma once
// The course open in the editor: the model, its undo history and the place an
// edit concerns. Every change goes through edit(), so that each is one step of
// Ctrl+Z, and the views hear of it through changed().
#include <QObject>
#include <QString>
#include <QUndoStack>
#include <functional>
#include <optional>

#include "author/course_model.h"

// A topic, or a question of it (0-based position in the topic's list).
struct Place {
  unsigned topic = 0;
  std::optional<std::size_t> question;
  friend bool operator==(const Place&, const Place&) = default;
};

// What a typed change merges with: the same field of the same question.
enum class MergeKey { None = -1, QuestionText = 1, OptionText, Consultation };

class CourseSession final : public QObject {
  Q_OBJECT

 public:
  explicit CourseSession(QObject* parent = nullptr);

  bool isOpen() const { return open_; }
  void open(CourseModel model, bool saved);
  void close();
  CourseModel& model() { return model_; }
  const CourseModel& model() const { return model_; }
  QUndoStack& undoStack() { return undo_; }
  // Whether the files on disk differ from the course as edited.
  bool modified() const { return open_ && (!undo_.isClean() || !saved_); }
  void markSaved();
  // The place on show, where an undo of the next edit returns to.
  void setCurrent(const Place& place) { current_ = place; }

  using Edit = std::function<Change(CourseModel&)>;
  // Applies the edit as one step of the undo history, named text; false when it
  // changed nothing. after is the place to show once it is done or redone.
  bool edit(const QString& text, const Edit& edit, Place after, MergeKey merge = MergeKey::None,
            std::optional<std::size_t> mergeItem = std::nullopt);

 signals:
  // After an edit, an undo or a redo; place is where it happened.
  void changed(Place place, bool structural);

 private:
  friend class EditCommand;
  CourseModel model_;
  QUndoStack undo_;
  bool open_ = false;
  bool saved_ = true;
  Place current_;
};

class EditCommand final : public QUndoCommand {
 public:
  EditCommand(CourseSession& session, const QString& text, Change change, Place before, Place after,
              MergeKey merge, std::optional<std::size_t> mergeItem, bool structural);
  void redo() override;
  void undo() override;
  int id() const override { return static_cast<int>(merge_); }
  bool mergeWith(const QUndoCommand* other) override;

 private:
  CourseSession& session_;
  Change change_;
  Place before_;
  Place after_;
  MergeKey merge_;
  std::optional<std::size_t> mergeItem_;
  bool structural_;
  bool applied_ = true;  // the model made the change before the command was pushed
};
