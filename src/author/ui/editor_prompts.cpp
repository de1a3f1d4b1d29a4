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
  QMessageBox box(QMessageBox::Information, title, text, QMessageBox::NoButton, parent);
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(box.addButton(u"ОК"_s, QMessageBox::AcceptRole));
  box.exec();
}

namespace {

// Qt's own dialogs speak English unless told otherwise; the editor speaks Russian.
QString runFileDialog(QWidget* parent, const QString& title, QFileDialog::FileMode mode,
                      QFileDialog::AcceptMode accept, const QString& filter,
                      QString* chosenFilter) {
  QFileDialog dialog(parent, title);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(mode);
  dialog.setAcceptMode(accept);
  if (mode == QFileDialog::Directory) dialog.setOption(QFileDialog::ShowDirsOnly);
  if (!filter.isEmpty()) dialog.setNameFilter(filter);
  dialog.setLabelText(QFileDialog::LookIn, u"Папка:"_s);
  dialog.setLabelText(QFileDialog::FileName,
                      mode == QFileDialog::Directory ? u"Папка:"_s : u"Файл:"_s);
  dialog.setLabelText(QFileDialog::FileType, u"Тип:"_s);
  dialog.setLabelText(QFileDialog::Accept,
                      accept == QFileDialog::AcceptSave ? u"Сохранить"_s : u"Выбрать"_s);
  dialog.setLabelText(QFileDialog::Reject, u"Отмена"_s);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  if (chosenFilter) *chosenFilter = dialog.selectedNameFilter();
  return dialog.selectedFiles().front();
}

void russianButtons(QInputDialog& dialog) {
  dialog.setOkButtonText(u"ОК"_s);
  dialog.setCancelButtonText(u"Отмена"_s);
}

}  // namespace

QString QtEditorPrompts::chooseFolder(QWidget* parent, const QString& title) {
  return runFileDialog(parent, title, QFileDialog::Directory, QFileDialog::AcceptOpen, {}, nullptr);
}

QString QtEditorPrompts::chooseOpenFile(QWidget* parent, const QString& title,
                                        const QString& filter) {
  return runFileDialog(parent, title, QFileDialog::ExistingFile, QFileDialog::AcceptOpen, filter,
                       nullptr);
}

QString QtEditorPrompts::chooseSaveFile(QWidget* parent, const QString& title,
                                        const QString& filter, QString* chosenFilter) {
  return runFileDialog(parent, title, QFileDialog::AnyFile, QFileDialog::AcceptSave, filter,
                       chosenFilter);
}

std::optional<int> QtEditorPrompts::askNumber(QWidget* parent, const QString& title,
                                              const QString& label, int value, int min, int max) {
  QInputDialog dialog(parent);
  dialog.setWindowTitle(title);
  dialog.setLabelText(label);
  dialog.setInputMode(QInputDialog::IntInput);
  dialog.setIntRange(min, max);
  dialog.setIntValue(value);
  russianButtons(dialog);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.intValue();
}

std::optional<QString> QtEditorPrompts::askText(QWidget* parent, const QString& title,
                                                const QString& label, const QString& text) {
  QInputDialog dialog(parent);
  dialog.setWindowTitle(title);
  dialog.setLabelText(label);
  dialog.setTextValue(text);
  russianButtons(dialog);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.textValue();
}

bool QtEditorPrompts::startProgram(const QString& program, const QString& folder) {
  return QProcess::startDetached(program, {folder}, folder);
}
