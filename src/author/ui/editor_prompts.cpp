#include "author/ui/editor_prompts.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>

using namespace Qt::StringLiterals;

EditorPrompts::Answer QtEditorPrompts::askSave(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Question, u"Сохранить изменения?"_s, text, QMessageBox::NoButton,
                  parent);
  QPushButton* save = box.addButton(u"Сохранить"_s, QMessageBox::AcceptRole);
  QPushButton* discard = box.addButton(u"Не сохранять"_s, QMessageBox::DestructiveRole);
  QPushButton* cancel = box.addButton(u"Отмена"_s, QMessageBox::RejectRole);
  box.setDefaultButton(save);
  box.setEscapeButton(cancel);
  box.exec();
  if (box.clickedButton() == save) return Answer::Save;
  if (box.clickedButton() == discard) return Answer::Discard;
  return Answer::Cancel;
}

bool QtEditorPrompts::confirm(QWidget* parent, const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
  QPushButton* yes = box.addButton(u"Да"_s, QMessageBox::YesRole);
  QPushButton* no = box.addButton(u"Нет"_s, QMessageBox::NoRole);
  box.setDefaultButton(no);
  box.setEscapeButton(no);
  box.exec();
  return box.clickedButton() == yes;
}

void QtEditorPrompts::inform(QWidget* parent, const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, parent);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

QString QtEditorPrompts::chooseFolder(QWidget* parent, const QString& title) {
  return QFileDialog::getExistingDirectory(parent, title);
}

QString QtEditorPrompts::chooseOpenFile(QWidget* parent, const QString& title,
                                        const QString& filter) {
  return QFileDialog::getOpenFileName(parent, title, QString(), filter);
}

QString QtEditorPrompts::chooseSaveFile(QWidget* parent, const QString& title,
                                        const QString& filter, QString* chosenFilter) {
  return QFileDialog::getSaveFileName(parent, title, QString(), filter, chosenFilter);
}

std::optional<int> QtEditorPrompts::askNumber(QWidget* parent, const QString& title,
                                              const QString& label, int value, int min, int max) {
  bool ok = false;
  const int number = QInputDialog::getInt(parent, title, label, value, min, max, 1, &ok);
  if (!ok) return std::nullopt;
  return number;
}

std::optional<QString> QtEditorPrompts::askText(QWidget* parent, const QString& title,
                                                const QString& label, const QString& text) {
  bool ok = false;
  const QString answer = QInputDialog::getText(parent, title, label, QLineEdit::Normal, text, &ok);
  if (!ok) return std::nullopt;
  return answer;
}

bool QtEditorPrompts::startProgram(const QString& program, const QString& folder) {
  return QProcess::startDetached(program, {folder}, folder);
}
