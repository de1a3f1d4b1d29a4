#pragma once
// "Темы и вопросы": the topics of main.txt, each with its questions as
// "N. first words", read from the model as they are shown, so that a course of
// thousands of questions opens at once.
#include <QAbstractItemModel>

#include "author/ui/course_session.h"

class CourseTreeModel final : public QAbstractItemModel {
  Q_OBJECT

 public:
  explicit CourseTreeModel(CourseSession& session, QObject* parent = nullptr);

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  Place placeOf(const QModelIndex& index) const;
  QModelIndex indexOf(const Place& place) const;
  // The course's topics or questions changed: everything is read anew.
  void reload();

 private:
  CourseSession& session_;
};
