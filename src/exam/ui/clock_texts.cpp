#include "exam/ui/clock_texts.h"

std::string shortDate(const QDateTime& moment) {
  return moment.date().toString(QStringLiteral("dd.MM.yyyy")).toStdString();
}

std::string longTime(const QDateTime& moment) {
  return moment.time().toString(QStringLiteral("HH:mm:ss")).toStdString();
}
