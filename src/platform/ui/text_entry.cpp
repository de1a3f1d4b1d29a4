#include "platform/ui/text_entry.h"

#include <QLineEdit>

#include "platform/ui/codec.h"

QValidator::State Cp1251Validator::validate(QString& input, int&) const {
  for (const QChar c : input)
    if (c.category() == QChar::Other_Control) return Invalid;
  return toCp1251(input) ? Acceptable : Invalid;
}

void acceptOnlyCp1251(QLineEdit* box) { box->setValidator(new Cp1251Validator(box)); }
