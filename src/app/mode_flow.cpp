#include "app/mode_flow.h"

#include <algorithm>
#include <string_view>

namespace {

const char* const kOneFileMissing = "Отсутствует один из файлов.";

}  // namespace

const FlowMessage kBankNotLoaded{"Ошибка.",
                                 "Вопросы темы не загружены, поэтому режим не может быть начат."};

ModePlan planMode(std::uint8_t selectedMode, unsigned selectedTopic) {
  ModePlan plan;
  auto answering = [&](FlowMessage greeting) {
    plan.needsBank = true;
    plan.greeting = greeting;
    plan.rangeStep = selectedTopic != 0;
    plan.rangeFiles = {{"diapazon.txt"}, {"Диапазон вопросов", kOneFileMissing}};
  };
  switch (static_cast<Mode>(selectedMode)) {
    case Mode::NotChosen:
    case Mode::Exam:
      answering({"Экзамен", "Добро пожаловать на экзамен !"});
      plan.window = ModeWindow::Registration;
      break;
    case Mode::PassFail:
      answering({"Зачет", "Желаю успехов на зачете !"});
      plan.window = ModeWindow::Registration;
      break;
    case Mode::SelfControl:
      answering({"Проверка знаний", "Приглашаем проверить свои знания."});
      plan.window = ModeWindow::SelfControl;
      plan.windowFiles = {{"vopros.txt", "otvet.txt", "konsult.txt"},
                          {"Проверка знаний.", kOneFileMissing}};
      break;
    case Mode::Browse:
      plan.greeting = {"Просмотр вопросов", "Вопросы для экзамена и зачета."};
      plan.window = ModeWindow::Browser;
      plan.windowFiles = {{"vopros.txt"}, {"Просмотр вопросов", kOneFileMissing}};
      break;
    case Mode::Back:
    default:
      break;
  }
  return plan;
}

bool lacksFile(const NeededFiles& needed, const DataError& readFault) {
  if (readFault.code != DataError::Code::FileMissing) return false;
  return std::any_of(needed.files.begin(), needed.files.end(),
                     [&](const char* name) { return readFault.file == std::string_view(name); });
}
