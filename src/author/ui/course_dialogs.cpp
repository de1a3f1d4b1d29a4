#include "author/ui/course_dialogs.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "platform/ui/codec.h"
#include "platform/ui/text_entry.h"

using namespace Qt::StringLiterals;

namespace {

QPushButton* button(QWidget* parent, const QString& caption, QLayout* layout) {
  auto* b = new QPushButton(caption, parent);
  b->setAccessibleName(QString(caption).remove(QLatin1Char('&')).remove(u"…"_s));
  layout->addWidget(b);
  return b;
}

QDialogButtonBox* okCancel(QDialog* dialog) {
  auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
  box->button(QDialogButtonBox::Ok)->setText(u"ОК"_s);
  box->button(QDialogButtonBox::Cancel)->setText(u"Отмена"_s);
  QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return box;
}

std::vector<std::string> linesOf(const QPlainTextEdit* box, bool* ok) {
  std::vector<std::string> lines;
  const QString text = box->toPlainText();
  if (text.isEmpty()) return lines;
  for (const QString& line : text.split(QLatin1Char('\n'))) {
    const auto bytes = toCp1251(line);
    if (!bytes) *ok = false;
    lines.push_back(bytes.value_or(""));
  }
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

QString joinedLines(const std::vector<std::string>& lines) {
  QStringList list;
  for (const std::string& line : lines) list << fromCp1251(line);
  return list.join(QLatin1Char('\n'));
}

}  // namespace

RangesDialog::RangesDialog(const QString& topicTitle, std::size_t questionCount,
                           const std::vector<RangeRow>& rows, QWidget* parent)
    : QDialog(parent), questionCount_(questionCount) {
  setObjectName(u"RangesDialog"_s);
  setWindowTitle(u"Диапазоны вопросов"_s);
  auto* layout = new QVBoxLayout(this);
  auto* intro = new QLabel(
      u"Тема «%1», вопросов: %2. Студент выбирает один из диапазонов перед экзаменом, "
      u"зачетом или самоконтролем."_s.arg(topicTitle)
          .arg(questionCount),
      this);
  intro->setWordWrap(true);
  intro->setTextFormat(Qt::PlainText);
  layout->addWidget(intro);
  table_ = new QTableWidget(0, 3, this);
  table_->setObjectName(u"Ranges"_s);
  table_->setAccessibleName(u"Диапазоны"_s);
  table_->setHorizontalHeaderLabels({u"С вопроса"_s, u"По вопрос"_s, u"Подпись"_s});
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->setTabKeyNavigation(false);
  for (const RangeRow& row : rows) addRow(row);
  layout->addWidget(table_);
  auto* buttons = new QHBoxLayout;
  connect(button(this, u"&Добавить"_s, buttons), &QPushButton::clicked, this, [this] {
    addRow({"1", std::to_string(questionCount_ ? questionCount_ : 1),
            toCp1251(u"Все вопросы темы"_s).value_or("")});
  });
  connect(button(this, u"&Удалить"_s, buttons), &QPushButton::clicked, this, [this] {
    if (table_->currentRow() >= 0) table_->removeRow(table_->currentRow());
  });
  connect(button(this, u"В&ыше"_s, buttons), &QPushButton::clicked, this, [this] { moveRow(-1); });
  connect(button(this, u"&Ниже"_s, buttons), &QPushButton::clicked, this, [this] { moveRow(1); });
  buttons->addStretch();
  layout->addLayout(buttons);
  layout->addWidget(okCancel(this));
  resize(620, 360);
}

void RangesDialog::addRow(const RangeRow& row) {
  const int r = table_->rowCount();
  table_->insertRow(r);
  table_->setItem(r, 0, new QTableWidgetItem(fromCp1251(row.first)));
  table_->setItem(r, 1, new QTableWidgetItem(fromCp1251(row.last)));
  table_->setItem(r, 2, new QTableWidgetItem(fromCp1251(row.caption)));
  table_->setCurrentCell(r, 0);
}

void RangesDialog::moveRow(int delta) {
  const int r = table_->currentRow();
  const int to = r + delta;
  if (r < 0 || to < 0 || to >= table_->rowCount()) return;
  for (int c = 0; c < 3; ++c) {
    QTableWidgetItem* a = table_->takeItem(r, c);
    QTableWidgetItem* b = table_->takeItem(to, c);
    table_->setItem(r, c, b);
    table_->setItem(to, c, a);
  }
  table_->setCurrentCell(to, table_->currentColumn());
}

std::optional<std::vector<RangeRow>> RangesDialog::rows() const {
  std::vector<RangeRow> rows;
  for (int r = 0; r < table_->rowCount(); ++r) {
    RangeRow row;
    std::string* fields[] = {&row.first, &row.last, &row.caption};
    for (int c = 0; c < 3; ++c) {
      const QTableWidgetItem* item = table_->item(r, c);
      // The numbers never take the separator; a caption may.
      QString text = item ? item->text().trimmed() : QString();
      if (c < 2) text.remove(QLatin1Char('_'));
      text.remove(QLatin1Char('\n')).remove(QLatin1Char('\r'));
      const auto bytes = toCp1251(text);
      if (!bytes) return std::nullopt;
      *fields[c] = *bytes;
    }
    rows.push_back(row);
  }
  return rows;
}

IdentityDialog::IdentityDialog(const IdentityFields& fields, QWidget* parent) : QDialog(parent) {
  setObjectName(u"IdentityDialog"_s);
  setWindowTitle(u"Название и заставка"_s);
  auto* layout = new QVBoxLayout(this);
  auto* intro = new QLabel(
      u"Файл kurs.txt: как программа называет курс. Пустое поле оставляет название примера курса."_s,
      this);
  intro->setWordWrap(true);
  layout->addWidget(intro);
  auto* form = new QFormLayout;
  auto line = [&](const QString& label, const std::string& value) {
    auto* box = new QLineEdit(fromCp1251(value), this);
    box->setAccessibleName(label);
    acceptOnlyCp1251(box);
    form->addRow(label + u":"_s, box);
    return box;
  };
  title_ = line(u"Название курса"_s, fields.title);
  allTopics_ = line(u"Пункт «все темы»"_s, fields.allTopics);
  auto lines = [&](const QString& label, const std::vector<std::string>& value) {
    auto* box = new QPlainTextEdit(joinedLines(value), this);
    box->setAccessibleName(label);
    box->setTabChangesFocus(true);
    form->addRow(label + u":"_s, box);
    return box;
  };
  titleLines_ = lines(u"Строки заставки (до четырех)"_s, fields.titleLines);
  helpLines_ = lines(u"Справка"_s, fields.helpLines);
  layout->addLayout(form);
  layout->addWidget(okCancel(this));
  resize(560, 420);
}

std::optional<IdentityFields> IdentityDialog::fields() const {
  IdentityFields fields;
  bool ok = true;
  fields.title = toCp1251(title_->text()).value_or("");
  fields.allTopics = toCp1251(allTopics_->text()).value_or("");
  fields.titleLines = linesOf(titleLines_, &ok);
  if (fields.titleLines.size() > 4) fields.titleLines.resize(4);
  fields.helpLines = linesOf(helpLines_, &ok);
  if (!ok) return std::nullopt;
  return fields;
}
