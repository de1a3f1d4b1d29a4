#include "author/ui/course_session.h"

namespace {

// Whether a change may add, remove or reorder topics or questions: the lists
// showing them are then built anew.
bool isStructural(const Change& change) {
  for (const Splice& s : change.splices)
    if (s.file == CourseFileId::Main ||
        (s.file == CourseFileId::Questions && s.removed.size() != s.inserted.size()))
      return true;
  return false;
}

}  // namespace

CourseSession::CourseSession(QObject* parent) : QObject(parent) {}

void CourseSession::open(CourseModel model, bool saved) {
  model_ = std::move(model);
  undo_.clear();
  open_ = true;
  saved_ = saved;
}

void CourseSession::close() {
  undo_.clear();
  model_ = CourseModel();
  open_ = false;
  saved_ = true;
}

void CourseSession::markSaved() {
  undo_.setClean();
  saved_ = true;
}

bool CourseSession::edit(const QString& text, const Edit& edit, Place after, MergeKey merge,
                         std::optional<std::size_t> mergeItem) {
  if (!open_) return false;
  Change change = edit(model_);
  if (change.empty()) return false;
  const bool structural = isStructural(change);
  undo_.push(new EditCommand(*this, text, std::move(change), current_, after, merge, mergeItem,
                             structural));
  emit changed(after, structural);
  return true;
}

EditCommand::EditCommand(CourseSession& session, const QString& text, Change change, Place before,
                         Place after, MergeKey merge, std::optional<std::size_t> mergeItem,
                         bool structural)
    : QUndoCommand(text),
      session_(session),
      change_(std::move(change)),
      before_(before),
      after_(after),
      merge_(merge),
      mergeItem_(mergeItem),
      structural_(structural) {}

void EditCommand::redo() {
  if (applied_) {
    applied_ = false;  // pushed: the model holds the change already
    return;
  }
  session_.model_.redo(change_);
  emit session_.changed(after_, structural_);
}

void EditCommand::undo() {
  session_.model_.undo(change_);
  emit session_.changed(before_, structural_);
}

bool EditCommand::mergeWith(const QUndoCommand* other) {
  const auto* next = static_cast<const EditCommand*>(other);
  if (merge_ == MergeKey::None || next->merge_ != merge_ || next->after_ != after_ ||
      next->mergeItem_ != mergeItem_ || next->structural_ || structural_)
    return false;
  Change later = next->change_;
  change_.append(std::move(later));
  return true;
}
