#include "author/ui/course_tree.h"

#include "platform/ui/codec.h"

using namespace Qt::StringLiterals;

namespace {

// Topic rows carry their topic number; question rows carry topic and position.
constexpr quintptr kQuestionBase = 1'000'000;
constexpr int kShownCharacters = 60;

quintptr topicId(unsigned topic) { return topic; }
quintptr questionId(unsigned topic, std::size_t position) {
  return topic * kQuestionBase + position + kQuestionBase;
}

// The first words of a text, cut at a blank.
QString firstWords(const QString& text) {
  const QString simple = text.simplified();
  if (simple.size() <= kShownCharacters) return simple;
  int cut = simple.lastIndexOf(QLatin1Char(' '), kShownCharacters);
  if (cut < kShownCharacters / 2) cut = kShownCharacters;
  return simple.left(cut) + u"…"_s;
}

}  // namespace

CourseTreeModel::CourseTreeModel(CourseSession& session, QObject* parent)
    : QAbstractItemModel(parent), session_(session) {}

QModelIndex CourseTreeModel::index(int row, int column, const QModelIndex& parent) const {
  if (!hasIndex(row, column, parent)) return {};
  if (!parent.isValid()) return createIndex(row, column, topicId(static_cast<unsigned>(row + 1)));
  const unsigned topic = static_cast<unsigned>(parent.internalId());
  return createIndex(row, column, questionId(topic, static_cast<std::size_t>(row)));
}

QModelIndex CourseTreeModel::parent(const QModelIndex& child) const {
  if (!child.isValid() || child.internalId() < kQuestionBase) return {};
  const unsigned t = static_cast<unsigned>((child.internalId() - kQuestionBase) / kQuestionBase);
  return createIndex(static_cast<int>(t - 1), 0, topicId(t));
}

int CourseTreeModel::rowCount(const QModelIndex& parent) const {
  if (!session_.isOpen() || parent.column() > 0) return 0;
  if (!parent.isValid()) return static_cast<int>(session_.model().topicCount());
  if (parent.internalId() >= kQuestionBase) return 0;
  return static_cast<int>(
      session_.model().questionCount(static_cast<unsigned>(parent.internalId())));
}

int CourseTreeModel::columnCount(const QModelIndex&) const { return 1; }

QVariant CourseTreeModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) return {};
  const Place place = placeOf(index);
  const CourseModel& model = session_.model();
  if (!place.question) {
    QString title = fromCp1251(model.topicTitle(place.topic));
    if (role == Qt::ToolTipRole) return title;
    QString row = QString::number(place.topic) + u". "_s + title;
    if (!CourseModel::holdsQuestions(place.topic)) row += u" (без вопросов: тем больше девяти)"_s;
    return row;
  }
  const QString text = fromCp1251(model.questionText(place.topic, *place.question));
  if (role == Qt::ToolTipRole) return text;
  const unsigned number = model.questionNumber(place.topic, *place.question);
  return (number ? QString::number(number) : u"?"_s) + u". "_s + firstWords(text);
}

Place CourseTreeModel::placeOf(const QModelIndex& index) const {
  if (!index.isValid()) return {};
  const quintptr id = index.internalId();
  if (id < kQuestionBase) return Place{static_cast<unsigned>(id), std::nullopt};
  const quintptr rest = id - kQuestionBase;
  return Place{static_cast<unsigned>(rest / kQuestionBase),
               static_cast<std::size_t>(rest % kQuestionBase)};
}

QModelIndex CourseTreeModel::indexOf(const Place& place) const {
  if (place.topic == 0 || place.topic > session_.model().topicCount()) return {};
  const QModelIndex topic = index(static_cast<int>(place.topic - 1), 0);
  if (!place.question) return topic;
  if (*place.question >= session_.model().questionCount(place.topic)) return topic;
  return index(static_cast<int>(*place.question), 0, topic);
}

void CourseTreeModel::reload() {
  beginResetModel();
  endResetModel();
}
