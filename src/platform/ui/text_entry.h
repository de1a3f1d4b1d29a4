#pragma once
// Text boxes that take only what code page 1251 can hold and no control
// characters, so whatever is typed reaches a log record whole.
#include <QValidator>

class QLineEdit;

class Cp1251Validator final : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& pos) const override;
};

// Puts the validator on the box; the box owns it.
void acceptOnlyCp1251(QLineEdit* box);
