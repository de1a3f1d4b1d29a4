#include "results/record_check.h"

#include <algorithm>
#include <vector>

#include "exam/test_session.h"
#include "platform/cp1251.h"

namespace {

bool digitsAt(std::string_view s, std::initializer_list<std::size_t> at) {
  return std::all_of(at.begin(), at.end(),
                     [&](std::size_t k) { return s[k] >= '0' && s[k] <= '9'; });
}

int twoDigits(std::string_view s, std::size_t at) { return (s[at] - '0') * 10 + (s[at + 1] - '0'); }

std::string n(long value) { return std::to_string(value); }

std::string quoted(const std::string& cp1251) { return cp("«") + cp1251 + cp("»"); }

}  // namespace

bool datedLikeTheProgram(std::string_view date) {
  return date.size() == 10 && date[2] == '.' && date[5] == '.' &&
         digitsAt(date, {0, 1, 3, 4, 6, 7, 8, 9});
}

std::optional<long> civilDay(std::string_view date) {
  if (!datedLikeTheProgram(date)) return std::nullopt;
  const int day = twoDigits(date, 0), month = twoDigits(date, 3);
  const int year = twoDigits(date, 6) * 100 + twoDigits(date, 8);
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  const int days[] = {31, leap ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year == 0 || month < 1 || month > 12 || day < 1 || day > days[month - 1]) return std::nullopt;
  // Days from 1 March of year 0 (the leap day last in its year), then from 1970.
  const long y = month <= 2 ? year - 1 : year;
  const long era = y / 400, yearOfEra = y - era * 400;
  const long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

bool timedLikeTheProgram(std::string_view time) {
  return time.size() == 8 && time[2] == ':' && time[5] == ':' && digitsAt(time, {0, 1, 3, 4, 6, 7});
}

std::optional<int> secondOfDay(std::string_view time) {
  if (!timedLikeTheProgram(time)) return std::nullopt;
  const int h = twoDigits(time, 0), m = twoDigits(time, 3), s = twoDigits(time, 6);
  if (h > 23 || m > 59 || s > 59) return std::nullopt;
  return (h * 60 + m) * 60 + s;
}

std::optional<std::string> contradiction(const LogRecord& r) {
  const ReportValues& v = r.values;
  if (datedLikeTheProgram(v.date) && !civilDay(v.date))
    return cp("невозможная дата ") + quoted(v.date);
  if (timedLikeTheProgram(v.time) && !secondOfDay(v.time))
    return cp("невозможное время ") + quoted(v.time);
  if (r.seconds > kTimeLimitSeconds)
    return cp("потребовалось времени ") + n(r.seconds) + cp(" сек, а на тест даётся ") +
           n(kTimeLimitSeconds);
  if (r.rangeFirst == 0 || r.rangeFirst > r.rangeLast)
    return cp("невозможный диапазон вопросов ") + quoted(v.range);
  if (r.answers > kQuestionsPerTest)
    return cp("ответов: ") + n(r.answers) + cp(", а тест задаёт не больше ") +
           n(kQuestionsPerTest) + cp(" вопросов");

  std::vector<unsigned> asked;
  int wrong = 0;
  for (const auto& e : v.listing) {
    if (e.question < r.rangeFirst || e.question > r.rangeLast)
      return cp("вопрос ") + n(e.question) + cp(" вне диапазона ") + quoted(v.range);
    if (std::find(asked.begin(), asked.end(), e.question) != asked.end())
      return cp("вопрос ") + n(e.question) + cp(" задан дважды");
    asked.push_back(e.question);
    if (e.option < 1 || e.option > kMostOptions)
      return cp("у вопроса ") + n(e.question) + cp(" выбран невозможный вариант ") + n(e.option);
    wrong += !e.right;
  }
  if (wrong > kErrorLimit)
    return cp("неверных ответов: ") + n(wrong) + cp(", а тест кончается на ") + n(kErrorLimit) +
           cp("-й ошибке");
  if (wrong == kErrorLimit && v.listing.back().right)
    return cp("тест продолжился после ") + n(kErrorLimit) + cp("-й ошибки");
  if (wrong > r.errors)
    return cp("неверных ответов «(-)»: ") + n(wrong) + cp(", а ошибок: ") + n(r.errors);

  // The questions a test of this range asks, and what the time-out adds to the errors. Logs
  // of the earlier program hold time-outs that counted the questions left of ten whatever
  // the range: those records are true too.
  const long rangeSize = static_cast<long>(r.rangeLast) - r.rangeFirst + 1;
  const int questions = static_cast<int>(std::min<long>(kQuestionsPerTest, rangeSize));
  const bool timedOut = r.seconds >= kTimeLimitSeconds;
  const int errors = wrong + (timedOut ? std::max(0, questions - r.answers) : 0);
  const int errorsOfTen = wrong + (timedOut ? kQuestionsPerTest - r.answers : 0);
  if (r.errors != errors && r.errors != errorsOfTen)
    return cp("ошибок: ") + n(r.errors) + cp(", а по ответам и времени их ") + n(errors);
  if (!timedOut && r.answers < questions && wrong < kErrorLimit)
    return cp("так тест не кончается: ответов ") + n(r.answers) + cp(" из ") + n(questions) +
           cp(", неверных ") + n(wrong) + cp(", времени ") + n(r.seconds) + cp(" сек из ") +
           n(kTimeLimitSeconds);
  if (gradeFor(v.exam, r.errors).text != v.result)
    return (v.exam ? cp("оценка ") : cp("результат ")) + quoted(v.result) + cp(", а ошибок: ") +
           n(r.errors);
  return std::nullopt;
}
