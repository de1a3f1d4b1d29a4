#include "app/ui/texts.h"

namespace texts {

QString courseTitleFirstHalf() { return QStringLiteral("  Ворсанит и  "); }
QString courseTitleSecondHalf() { return QStringLiteral("ДРЛ"); }

// The program is handed to whoever teaches the course, so the title page names
// roles rather than a particular school or person.
QString institution() { return QStringLiteral("Образовательная организация"); }
QString department() { return QStringLiteral("Кафедра, ведущая дисциплину"); }
QString programPurpose() {
  return QStringLiteral("Программа самообучения и контроля знаний по дисциплине");
}
QString authorsHeading() { return QStringLiteral("Авторы разработки:"); }

QString credits() {
  return QStringLiteral(
      "Методические принципы:\r"
      "         авторский коллектив кафедры\r"
      "Программная реализация:\r"
      "         разработчики программы\r"
      "Информационное наполнение:\r"
      "         преподаватель дисциплины\r"
      "         e-mail: указывается кафедрой");
}

QString officialNotice() {
  return QStringLiteral(
      "Учебное пособие: содержание курса, вопросы и консультации готовит преподаватель.");
}
QString city() { return QStringLiteral("Россия"); }
QString year() { return QStringLiteral("2026"); }

QString helpCaption() { return QStringLiteral("Справка"); }

QStringList helpLines() {
  return {
      QStringLiteral(
          "               Программа контроля знаний по дисциплине работает в 4 режимах:"),
      QStringLiteral(
          "       Режим 1. Контроль знаний с выдачей оценки - числа, зависящего от количества "),
      QStringLiteral("правильных ответов на десять предложенных вопросов."),
      QStringLiteral(
          "       Режим 2. Контроль знаний с зачетом, когда вопросы выдаются до получения "),
      QStringLiteral(
          "восьми правильных (зачет) или трех неправильных (незачет) ответов из десяти."),
      QStringLiteral(
          "             Вопросы во всех двух режимах выбираются случайным образом так, чтобы "),
      QStringLiteral("одному курсанту или студенту дважды не был задан один и тот же вопрос."),
      QStringLiteral(
          "       Режим 3. Самоконтроль знаний курсанта или студента. В этом режиме можно "),
      QStringLiteral(
          "выбрать любой номер интересующего вопроса. ЭВМ сначала выдает соответствующую "),
      QStringLiteral(
          "консультацию, затем вопрос с вариантами ответов.  Надо выбрать ответ, после чего "),
      QStringLiteral("ЭВМ выдает правильный ответ.  Этот режим включается в спорных случаях или "),
      QStringLiteral("для повторения программы при самоподготовке курсантов или студентов."),
      QStringLiteral(
          "       Режим 4. Блок вывода вопросов. В этом режиме на экран дисплея выводится "),
      QStringLiteral("полный список вопросов по данной теме программы."),
      QStringLiteral(
          "     На сдачу зачета или экзамена выделено контрольное время - 10 мин, по окончании "),
      QStringLiteral("которого ЭВМ автоматически сообщает результат."),
      QStringLiteral(
          "     В режимах 1 и 2 по окончании опроса каждого курсанта или студента на экран "),
      QStringLiteral(
          "дисплея выдается протокол контроля знаний с соответствующей дифференцированной "),
      QStringLiteral("оценкой или зачетом (незачетом)."),
      QStringLiteral("     Программа работает в диалоговом режиме."),
      QStringLiteral(" Рекомендуемая литература:"),
  };
}

QStringList literatureLines() {
  return {
      QStringLiteral("    1. Касаткин А. С., Немцов М. В."),
      QStringLiteral("       Электротехника."),
      QStringLiteral("       Любое издание."),
      QStringLiteral("    2. Бессонов Л. А."),
      QStringLiteral("       Теоретические основы электротехники. Электрические цепи."),
      QStringLiteral("       Любое издание."),
      QStringLiteral("    3. Прянишников В. А."),
      QStringLiteral("       Электроника. Полный курс лекций."),
      QStringLiteral("       Любое издание."),
  };
}

QString okButton() { return QStringLiteral("Ok"); }

}  // namespace texts
