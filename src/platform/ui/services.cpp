#include "platform/ui/services.h"

#include <QMessageBox>

void QtMessageSink::message(QWidget* parent, const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
  // A picture or file name from the course is shown as written, never as markup.
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

std::string programFolderOf(const QString& programPath) {
  const QByteArray path = programPath.toLocal8Bit();
  const qsizetype cut = path.lastIndexOf('/');
  if (cut < 0) return {};
  return std::string(path.constData(), static_cast<std::size_t>(cut + 1));
}
