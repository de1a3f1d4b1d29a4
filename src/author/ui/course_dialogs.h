#pragma once
// "Курс → Диапазоны…" and "Курс → Название и заставка…": the ranges of a topic
// and the course's own name, edited as a whole and handed back on OK.
#include <QDialog>
#include <vector>

#include "author/course_model.h"

class QLineEdit;
class QPlainTextEdit;
class QTableWidget;

class RangesDialog final : public QDialog {
  Q_OBJECT

 public:
  RangesDialog(const QString& topicTitle, std::size_t questionCount,
               const std::vector<RangeRow>& rows, QWidget* parent);
  // The rows as edited; nullopt when a text holds a character code page 1251 lacks.
  std::optional<std::vector<RangeRow>> rows() const;
  QTableWidget* table() const { return table_; }

 private:
  void addRow(const RangeRow& row);
  void moveRow(int delta);
  QTableWidget* table_ = nullptr;
  std::size_t questionCount_ = 0;
};

class IdentityDialog final : public QDialog {
  Q_OBJECT

 public:
  IdentityDialog(const IdentityFields& fields, QWidget* parent);
  std::optional<IdentityFields> fields() const;

 private:
  QLineEdit* title_ = nullptr;
  QLineEdit* allTopics_ = nullptr;
  QPlainTextEdit* titleLines_ = nullptr;
  QPlainTextEdit* helpLines_ = nullptr;
};
