#include "results/page.h"

#include <algorithm>
#include <numeric>

#include "exam/test_session.h"
#include "platform/cp1251.h"
#include "results/server_compare.h"
#include "results/start_journal.h"
#include "results/tables.h"

namespace {

// A Russian reader writes a decimal comma; the sorting keeps the point (data-v).
std::string russianDecimal(double value) {
  std::string text = decimal(value);
  std::replace(text.begin(), text.end(), '.', ',');
  return text;
}

std::string html(const std::string& cp1251) { return htmlFromCp1251(cp1251); }

// The same, cut to a length that a table cell can show: the page has to open
// whatever a candidate typed into a field.
std::string shortHtml(const std::string& cp1251, std::size_t most = 80) {
  if (cp1251.size() <= most) return html(cp1251);
  return htmlEscape(utf8FromCp1251(cp1251.substr(0, most))) + "…";
}

// A note (UTF-8) cut to 300 bytes at the start of a character, so that the
// page stays valid UTF-8 whatever file name a note quotes.
std::string shortNote(const std::string& note) {
  constexpr std::size_t kMost = 300;
  if (note.size() <= kMost) return note;
  std::size_t cut = kMost;
  while (cut > 0 && (static_cast<unsigned char>(note[cut]) & 0xC0) == 0x80) --cut;
  return note.substr(0, cut) + "…";
}

// A class per grade keeps the colour out of every row of a long table.
std::string gradeClass(bool exam, int grade) { return (exam ? "e" : "p") + std::to_string(grade); }

std::string gradeStyles() {
  std::string css;
  for (bool exam : {true, false}) {
    const auto& scale = gradeScale(exam);
    for (std::size_t g = 0; g < scale.size(); ++g)
      css += ".swatch." + gradeClass(exam, static_cast<int>(g)) +
             "{background:" + cssRgb(scale[g].colour) + "}";
  }
  return css + "\n";
}

constexpr std::string_view kStyle = R"(
body{font:14px/1.4 "DejaVu Sans","Liberation Sans",Arial,sans-serif;color:#222;margin:24px auto;max-width:1240px;padding:0 16px}
h1{font-size:22px;margin:0 0 4px}h2{font-size:17px;margin:28px 0 8px;border-bottom:1px solid #ccc}
.summary{font-size:16px;margin:4px 0}.notes{color:#555;margin:4px 0;padding-left:20px}
.charts{display:flex;flex-wrap:wrap;gap:12px}
figure{margin:0;border:1px solid #ddd;border-radius:4px;padding:8px 10px;break-inside:avoid}
figcaption{font-weight:bold;margin-bottom:4px}svg text{font-size:12px;fill:#222}
table{border-collapse:collapse;width:100%;font-size:13px}
th,td{border:1px solid #ddd;padding:3px 6px;text-align:left;vertical-align:top}
th{background:#f0f0f0;cursor:pointer;user-select:none;white-space:nowrap}
th[aria-sort=ascending]::after{content:" \25B2"}th[aria-sort=descending]::after{content:" \25BC"}
td.n{text-align:right;white-space:nowrap}tbody tr:nth-child(even){background:#fafafa}
tr.look td{background:#fff3e0}.mark{color:#b34700;font-weight:bold}
.bar{display:inline-block;width:60px;height:9px;background:#e4e4e4;margin-right:6px;vertical-align:middle}
.bar span{display:block;height:100%;background:#4a7ab5}
.swatch{display:inline-block;width:9px;height:9px;margin-right:5px;border:1px solid #777}
.hint{color:#777;font-size:12px}.more{color:#555;font-style:italic}
summary{cursor:pointer;margin:8px 0;color:#333}.nav a{color:#2a5a9a;margin-right:2px}.wide{overflow-x:auto}.opt{display:inline-block;margin-right:6px;white-space:nowrap}.opt.right{color:#006400;font-weight:bold}
.opt.flag{color:#b34700;font-weight:bold}.qtext{color:#444;font-size:12px;min-width:150px}.why{min-width:190px}
@page{size:A4;margin:12mm}
@media print{body{margin:0;max-width:none;padding:0;font-size:10pt}table{font-size:8pt}
.hint,.nav{display:none}.wide{overflow:visible}th{cursor:auto}thead{display:table-header-group}tr{break-inside:avoid}
h2{break-after:avoid}*{-webkit-print-color-adjust:exact;print-color-adjust:exact}}
)";

// Clicking a column's head sorts the rows by it; again, the other way round.
constexpr std::string_view kScript = R"(
document.querySelectorAll('table.sortable').forEach(function(t){
var heads=t.tHead.rows[0].cells,coll=new Intl.Collator('ru',{numeric:true});
Array.prototype.forEach.call(heads,function(th,i){th.addEventListener('click',function(){
var asc=th.getAttribute('aria-sort')!=='ascending',num=th.hasAttribute('data-num'),body=t.tBodies[0];
Array.prototype.forEach.call(heads,function(h){h.removeAttribute('aria-sort');});
th.setAttribute('aria-sort',asc?'ascending':'descending');
var rows=Array.prototype.map.call(body.rows,function(r,k){var c=r.cells[i],v=c.getAttribute('data-v');
if(v===null)v=c.textContent;if(num){v=parseFloat(v);if(isNaN(v))v=-Infinity;}return{r:r,v:v,k:k};});
rows.sort(function(a,b){var d=num?(a.v<b.v?-1:a.v>b.v?1:0):coll.compare(a.v,b.v);
return d===0?a.k-b.k:(asc?d:-d);});
var f=document.createDocumentFragment();rows.forEach(function(x){f.appendChild(x.r);});body.appendChild(f);});});});
)";

void chart(std::string& out, const GradeChart& c) {
  const auto& scale = gradeScale(c.exam);
  const int most = std::max(1, *std::max_element(c.counts.begin(), c.counts.end()));
  const int rowHeight = 24, labelWidth = 84, barSpace = 170;
  const int height = static_cast<int>(scale.size()) * rowHeight + 4;
  const std::string group = c.group.empty() ? "без группы" : shortHtml(c.group);
  out += "<figure><figcaption>" + std::string(c.exam ? "Экзамен" : "Зачет") + " · " + group +
         " · записей: " + std::to_string(c.total) + "</figcaption>\n<svg width=\"330\" height=\"" +
         std::to_string(height) + "\" viewBox=\"0 0 330 " + std::to_string(height) +
         "\" role=\"img\">\n";
  for (std::size_t g = 0; g < scale.size(); ++g) {
    const int y = static_cast<int>(g) * rowHeight + 4;
    const int count = c.counts[g];
    const int width = count * barSpace / most;
    const int percent = c.total ? (count * 100 + c.total / 2) / c.total : 0;
    out += "<text x=\"0\" y=\"" + std::to_string(y + 13) + "\">" + html(scale[g].text) + "</text>";
    out += "<rect x=\"" + std::to_string(labelWidth) + "\" y=\"" + std::to_string(y) +
           "\" width=\"" + std::to_string(width) + "\" height=\"16\" fill=\"" +
           cssRgb(scale[g].colour) + "\" stroke=\"#555\" stroke-width=\"0.5\"/>";
    out += "<text x=\"" + std::to_string(labelWidth + width + 5) + "\" y=\"" +
           std::to_string(y + 13) + "\">" + std::to_string(count) + " (" + std::to_string(percent) +
           " %)</text>\n";
  }
  out += "</svg></figure>\n";
}

// Rows of a section added while they fit in its share of the page.
class Budget {
 public:
  explicit Budget(std::size_t bytes) : left_(bytes) {}
  bool take(const std::string& row) {
    if (row.size() > left_) return false;
    left_ -= row.size();
    return true;
  }

 private:
  std::size_t left_;
};

// Shares of the page, which stays under 5 MB whatever the logs.
constexpr std::size_t kNotesBytes = 60 * 1024, kChartBytes = 400 * 1024,
                      kQuestionBytes = 800 * 1024, kCandidateBytes = 400 * 1024,
                      kRecordBytes = 2500 * 1024, kMismatchBytes = 200 * 1024,
                      kUnfinishedBytes = 200 * 1024, kImpossibleBytes = 100 * 1024;
constexpr std::size_t kChartsOnPage = 24, kQuestionsOnPage = 1000, kNotesOnPage = 50;

void chartSection(std::string& out, const std::vector<GradeChart>& charts) {
  // Charts for the largest groups, in their usual order; the rest as a table.
  std::vector<std::size_t> bySize(charts.size());
  std::iota(bySize.begin(), bySize.end(), 0);
  std::stable_sort(bySize.begin(), bySize.end(),
                   [&](std::size_t a, std::size_t b) { return charts[a].total > charts[b].total; });
  std::vector<bool> drawn(charts.size(), false);
  for (std::size_t k = 0; k < bySize.size() && k < kChartsOnPage; ++k) drawn[bySize[k]] = true;

  out += "<h2 id=\"groups\">Оценки по группам</h2>\n";
  if (charts.size() > kChartsOnPage)
    out += "<p class=\"more\">Диаграммы — для " + std::to_string(kChartsOnPage) +
           " самых больших групп из " + std::to_string(charts.size()) +
           "; остальные — в таблице ниже.</p>\n";
  out += "<div class=\"charts\">\n";
  for (std::size_t k = 0; k < charts.size(); ++k)
    if (drawn[k]) chart(out, charts[k]);
  out += "</div>\n";
  if (charts.size() <= kChartsOnPage) return;

  Budget budget(kChartBytes);
  std::string rows;
  std::size_t shown = 0, rest = 0;
  for (std::size_t k : bySize) {
    if (drawn[k]) continue;
    ++rest;
    const GradeChart& c = charts[k];
    std::string row = "<tr><td>" + htmlEscape(modeName(c.exam)) + "</td><td>" +
                      (c.group.empty() ? std::string("без группы") : shortHtml(c.group)) +
                      "</td><td class=\"n\">" + std::to_string(c.total) + "</td><td>";
    const auto& scale = gradeScale(c.exam);
    for (std::size_t g = 0; g < scale.size(); ++g)
      row += "<span class=\"opt\"><span class=\"swatch " + gradeClass(c.exam, static_cast<int>(g)) +
             "\"></span>" + html(scale[g].text) + ": " + std::to_string(c.counts[g]) + "</span>";
    row += "</td></tr>\n";
    if (!budget.take(row)) continue;
    rows += row;
    ++shown;
  }
  // Folded, so that the questions are not pages away.
  out +=
      "<details><summary>Остальные группы: " + std::to_string(rest) +
      "</summary>\n<table class=\"sortable\"><thead><tr><th>Режим</th><th>Группа</th><th data-num>Записей</th>"
      "<th>Оценки</th></tr></thead><tbody>\n" +
      rows + "</tbody></table></details>\n";
  if (shown < rest)
    out += "<p class=\"more\">Ещё " + std::to_string(rest - shown) +
           " групп не поместились на страницу; все записи — в records.csv.</p>\n";
}

std::string optionsCell(const QuestionStats& q) {
  const std::vector<unsigned> rights = q.rightOptions(), never = q.neverChosen(),
                              over = q.chosenOverRight();
  auto has = [](const std::vector<unsigned>& v, unsigned o) {
    return std::find(v.begin(), v.end(), o) != v.end();
  };
  unsigned last = q.course ? std::min(q.course->options, kOptionDigits) : 0;
  for (unsigned o = 1; o <= kOptionDigits; ++o)
    if (q.chosen[o] > 0) last = std::max(last, o);
  std::string cell = "<span class=\"opts\">";
  for (unsigned o = 1; o <= last; ++o) {
    const bool right = has(rights, o), flag = has(never, o) || has(over, o);
    cell += std::string("<span class=\"opt") + (right ? " right" : "") + (flag ? " flag" : "") +
            "\" title=\"" + (right ? "верный" : "неверный") + "\">" + std::to_string(o) +
            (right ? "✓" : "") + ": " + std::to_string(q.chosen[o]) + "</span>";
  }
  if (q.chosenOther > 0)
    cell += "<span class=\"opt\">другие: " + std::to_string(q.chosenOther) + "</span>";
  return cell + "</span>";
}

// Without the course, the rows of an all-topics entry ("… (все темы)") and
// those of the single topics may be the same questions under two numbers.
std::string allTopicsHint(const std::vector<QuestionStats>& questions, bool course) {
  if (course) return {};
  const std::string mark = matchKey(cp("все темы"));
  std::vector<std::string> across, single;
  for (const auto& q : questions) {
    auto& list = matchKey(q.topic).find(mark) != std::string::npos ? across : single;
    if (list.empty() || list.back() != q.topic) list.push_back(q.topic);
  }
  if (across.empty() || single.empty()) return {};
  std::string names;
  for (std::size_t k = 0; k < across.size(); ++k)
    names += (k ? ", «" : "«") + shortHtml(across[k]) + "»";
  return "<p class=\"more\">Строки темы " + names +
         " нумеруют вопросы подряд по всему курсу, а строки отдельных тем — внутри темы: "
         "один и тот же вопрос может стоять и там, и там под разными номерами. Чтобы они были "
         "названы по темам курса, дайте папку курса (--course).</p>\n";
}

void questionSection(std::string& out, const std::vector<QuestionStats>& questions) {
  // What needs a look comes first, the hardest first within each part.
  std::vector<const QuestionStats*> order;
  for (const auto& q : questions) order.push_back(&q);
  auto needsLook = [](const QuestionStats* q) { return q->worthALook() || q->optionsWorthALook(); };
  std::stable_sort(order.begin(), order.end(), [&](const QuestionStats* a, const QuestionStats* b) {
    return needsLook(a) != needsLook(b) ? needsLook(a) : a->facility < b->facility;
  });
  int marked = 0;
  bool course = false;
  for (const auto* q : order) {
    marked += needsLook(q);
    course |= q->course.has_value();
  }

  std::string rows;
  Budget budget(kQuestionBytes);
  std::size_t shown = 0;
  for (const auto* q : order) {
    if (shown == kQuestionsOnPage) break;
    const bool look = needsLook(q);
    const int width = static_cast<int>(q->facility * 100 + 0.5);
    std::vector<std::string> why;
    if (q->facility < 0.3) why.push_back("мало верных ответов");
    if (q->discrimination && *q->discrimination < 0) why.push_back("слабые отвечают лучше сильных");
    if (const auto never = q->neverChosen(); !never.empty())
      why.push_back("вариант " + digits(never) + " не выбирает никто");
    if (const auto over = q->chosenOverRight(); !over.empty())
      why.push_back("неверный вариант " + digits(over) + " выбирают чаще верного");
    std::string row = look ? "<tr class=\"look\">" : "<tr>";
    row += "<td>" + shortHtml(q->topic) + "</td><td class=\"n\">" + std::to_string(q->question) +
           "</td>";
    if (course) {
      // The course's topic is worth naming only where the record names another (all topics).
      if (q->course) {
        row += "<td>" +
               (q->course->topic == q->topic ? std::string()
                                             : shortHtml(q->course->topic, 40) + ", ") +
               "№ " + std::to_string(q->course->number) + "</td><td class=\"qtext\">" +
               html(q->course->textStart) + "</td>";
      } else {
        row += "<td></td><td></td>";
      }
    }
    row += "<td class=\"n\">" + std::to_string(q->asked) + "</td><td class=\"n\">" +
           std::to_string(q->right) + "</td><td class=\"n\" data-v=\"" + decimal(q->facility) +
           "\"><span class=\"bar\"><span style=\"width:" + std::to_string(width) +
           "%\"></span></span>" + russianDecimal(q->facility) + "</td><td class=\"n\"" +
           (q->discrimination ? " data-v=\"" + decimal(*q->discrimination) + "\">" +
                                    russianDecimal(*q->discrimination)
                              : std::string(">")) +
           "</td><td>" + optionsCell(*q) + "</td><td class=\"why\">";
    if (look) {
      row += "<span class=\"mark\">стоит посмотреть</span>: ";
      for (std::size_t k = 0; k < why.size(); ++k) row += (k ? "; " : "") + why[k];
    }
    row += "</td></tr>\n";
    if (!budget.take(row)) break;
    rows += row;
    ++shown;
  }

  out +=
      "<h2 id=\"questions\">Вопросы</h2>\n<p>Вопросов: " + std::to_string(questions.size()) +
      ", стоит посмотреть: " + std::to_string(marked) +
      ". Доля верных — часть ответов на вопрос, данных верно; различение — доля верных у 27 % "
      "лучших записей минус доля у 27 % худших (по числу верных ответов), при 10 записях и больше. "
      "Варианты — сколько раз выбран каждый вариант ответа, ✓ — верный. Отметка ставится "
      "вопросу, на который ответили хотя бы " +
      std::to_string(kMinAnswersToJudge) + " раз.</p>\n";
  out += allTopicsHint(questions, course);
  if (shown < questions.size())
    out += "<p class=\"more\">Здесь " + std::to_string(shown) + " вопросов из " +
           std::to_string(questions.size()) +
           ", сначала те, на которые стоит посмотреть; все — в questions.csv.</p>\n";
  // A narrow window scrolls the wide table, not the page.
  out +=
      "<div class=\"wide\"><table class=\"sortable\"><thead><tr><th>Тема</th><th data-num>Вопрос</th>";
  if (course) out += "<th>В курсе</th><th>Текст</th>";
  out +=
      "<th data-num>Задан</th><th data-num>Верно</th><th data-num>Доля верных</th>"
      "<th data-num>Различение</th><th>Варианты</th><th>Отметка</th></tr></thead><tbody>\n";
  out += rows;
  out += "</tbody></table></div>\n";
}

void candidateSection(std::string& out, const Summary& s) {
  std::vector<const CandidateStats*> failing;
  for (const auto& c : s.candidates)
    if (!c.passed()) failing.push_back(&c);
  out += "<h2 id=\"candidates\">Кто ещё не сдал</h2>\n<p>Кандидатов: " +
         std::to_string(s.candidates.size()) +
         "; последний результат — «2 - неуд.» или «незачет» (или тест так и не закончен) у " +
         std::to_string(failing.size()) + ". Все кандидаты — в candidates.csv.</p>\n";
  if (failing.empty()) return;
  const bool unfinished = s.unfinishedCount > 0;
  std::string rows;
  Budget budget(kCandidateBytes);
  std::size_t shown = 0;
  const StringPool& pool = s.strings;
  for (const auto* c : failing) {
    std::string row = "<tr><td>" + shortHtml(pool.text(c->code)) + "</td><td>" +
                      shortHtml(pool.text(c->name)) + "</td><td>" + shortHtml(pool.text(c->group)) +
                      "</td><td class=\"n\">" + std::to_string(c->tests) + "</td><td data-v=\"" +
                      htmlEscape(dateKey(pool.text(c->lastDate), pool.text(c->lastTime))) + "\">" +
                      shortHtml(pool.text(c->lastDate)) + "</td><td>";
    if (c->tests > 0)
      row += "<span class=\"swatch " + gradeClass(c->lastExam, c->lastGrade) + "\"></span>" +
             htmlEscape(modeName(c->lastExam)) + ": " +
             html(gradeScale(c->lastExam)[static_cast<std::size_t>(c->lastGrade)].text);
    else
      row += "нет записей";
    row += "</td>";
    if (unfinished) row += "<td class=\"n\">" + std::to_string(c->unfinished) + "</td>";
    row += "</tr>\n";
    if (!budget.take(row)) break;
    rows += row;
    ++shown;
  }
  out +=
      "<table class=\"sortable\"><thead><tr><th>Код</th><th>Фамилия И.О.</th><th>Группа</th>"
      "<th data-num>Тестов</th><th>Последний</th><th>Результат</th>" +
      std::string(unfinished ? "<th data-num>Не закончено</th>" : "") + "</tr></thead><tbody>\n" +
      rows + "</tbody></table>\n";
  if (shown < failing.size())
    out += "<p class=\"more\">Ещё " + std::to_string(failing.size() - shown) +
           " кандидатов не поместились на страницу; они — в candidates.csv.</p>\n";
}

void unfinishedSection(std::string& out, const Summary& s) {
  out += "<h2 id=\"unfinished\">Незаконченные тесты</h2>\n";
  if (s.startMarks == 0) {
    out +=
        "<p>Не прочитано ни одной отметки начала теста (ekzam.start, zachet.start или с "
        "сервера): незаконченные тесты увидеть нельзя.</p>\n";
    return;
  }
  out += "<p>Тест начат (отмечен в журнале начала или на сервере), а записи о нём нет и через " +
         std::to_string((kTimeLimitSeconds + kMarkSlackSeconds) / 60) +
         " минут: программу закрыли во время теста, или запись потеряна. Таких тестов: " +
         std::to_string(s.unfinishedCount) + ".";
  if (s.unfinishedCount > s.unfinished.size())
    out += " Здесь последние " + std::to_string(s.unfinished.size()) + "; все — в unfinished.csv.";
  out += "</p>\n";
  if (s.unfinished.empty()) return;
  std::string rows;
  Budget budget(kUnfinishedBytes);
  std::size_t shown = 0;
  for (const UnfinishedTest& u : s.unfinished) {
    const StartMark& m = u.mark;
    std::string row =
        "<tr><td>" + htmlEscape(modeName(m.exam)) + "</td><td data-v=\"" +
        html(dateKey(m.date, m.time)) + "\">" + shortHtml(m.date) + "</td><td>" +
        shortHtml(m.time) + "</td><td>" + shortHtml(m.name) + "</td><td>" + shortHtml(m.code) +
        "</td><td>" + shortHtml(m.group) + "</td><td>" + shortHtml(m.topic) + "</td><td>" +
        shortHtml(m.range) + "</td><td>" + htmlEscape(shortNote(u.seat)) + "</td><td>" +
        htmlEscape(shortNote(u.journal.empty() ? "сервер, " + u.serverTime
                                               : u.journal + ':' + std::to_string(u.line))) +
        "</td></tr>\n";
    if (!budget.take(row)) break;
    rows += row;
    ++shown;
  }
  out +=
      "<table class=\"sortable\"><thead><tr><th>Режим</th><th>Дата</th><th>Время</th>"
      "<th>Фамилия И.О.</th><th>Код</th><th>Группа</th><th>Тема</th><th>Вопросы</th>"
      "<th>Компьютер</th><th>Где отмечен</th></tr></thead><tbody>\n" +
      rows + "</tbody></table>\n";
  if (shown < s.unfinished.size())
    out += "<p class=\"more\">Ещё " + std::to_string(s.unfinished.size() - shown) +
           " не поместились на страницу; все — в unfinished.csv.</p>\n";
}

void impossibleSection(std::string& out, const Summary& s) {
  if (s.impossibleCount == 0) return;
  out +=
      "<h2 id=\"impossible\">Записи, которые не могут быть правдой</h2>\n<p>Поля этих "
      "записей противоречат друг другу (так программа не пишет: запись исправлена или "
      "написана вручную); они не учтены. Таких записей: " +
      std::to_string(s.impossibleCount) + "; все — в impossible.csv.</p>\n";
  std::string rows;
  Budget budget(kImpossibleBytes);
  std::size_t shown = 0;
  for (const ImpossibleRecord& r : s.impossible) {
    const ReportValues& v = r.values;
    std::string row =
        "<tr><td>" + htmlEscape(shortNote(r.line ? r.log + ':' + std::to_string(r.line) : r.log)) +
        "</td><td>" + htmlEscape(modeName(v.exam)) + "</td><td data-v=\"" +
        html(dateKey(v.date, v.time)) + "\">" + shortHtml(v.date) + "</td><td>" +
        shortHtml(v.time) + "</td><td>" + shortHtml(v.name) + "</td><td>" + shortHtml(v.code) +
        "</td><td>" + shortHtml(v.group) + "</td><td>" + shortHtml(v.result) +
        "</td><td class=\"why\">" + html(r.reason) + "</td></tr>\n";
    if (!budget.take(row)) break;
    rows += row;
    ++shown;
  }
  out +=
      "<table class=\"sortable\"><thead><tr><th>Журнал</th><th>Режим</th><th>Дата</th>"
      "<th>Время</th><th>Фамилия И.О.</th><th>Код</th><th>Группа</th><th>Результат</th>"
      "<th>Почему не может быть</th></tr></thead><tbody>\n" +
      rows + "</tbody></table>\n";
  if (shown < s.impossibleCount)
    out += "<p class=\"more\">Ещё " + std::to_string(s.impossibleCount - shown) +
           " — в impossible.csv.</p>\n";
}

std::string recordRow(const Summary& s, const RecordRow& r) {
  const StringPool& pool = s.strings;
  const std::string& date = pool.text(r.date);
  const std::string& time = pool.text(r.time);
  return "<tr><td>" + htmlEscape(modeName(r.exam)) + "</td><td data-v=\"" +
         html(dateKey(date, time)) + "\">" + shortHtml(date) + "</td><td>" + shortHtml(time) +
         "</td><td>" + shortHtml(pool.text(r.name)) + "</td><td>" + shortHtml(pool.text(r.code)) +
         "</td><td>" + shortHtml(pool.text(r.group)) + "</td><td>" + shortHtml(pool.text(r.topic)) +
         "</td><td data-v=\"" + std::to_string(r.rangeFirst) + "\">" +
         html(cp("с ") + std::to_string(r.rangeFirst) + cp(" по ") + std::to_string(r.rangeLast)) +
         "</td><td class=\"n\">" + std::to_string(r.seconds) + "</td><td class=\"n\">" +
         std::to_string(r.answers) + "</td><td class=\"n\">" + std::to_string(r.errors) +
         "</td><td data-v=\"" + std::to_string(r.exam ? r.grade : 10 + r.grade) +
         "\"><span class=\"swatch " + gradeClass(r.exam, r.grade) + "\"></span>" +
         html(gradeScale(r.exam)[static_cast<std::size_t>(r.grade)].text) + "</td></tr>\n";
}

void recordSection(std::string& out, const Summary& s) {
  // A browser chokes on a table of a whole year's records; the page keeps the
  // latest ones that fit, and records.csv has them all.
  std::vector<std::string> rows(s.latest.size()), keys(s.latest.size());
  std::vector<std::size_t> byDate(s.latest.size());
  for (std::size_t k = 0; k < s.latest.size(); ++k) {
    rows[k] = recordRow(s, s.latest[k]);
    keys[k] = dateKey(s.strings.text(s.latest[k].date), s.strings.text(s.latest[k].time));
    byDate[k] = k;
  }
  std::stable_sort(byDate.begin(), byDate.end(),
                   [&](std::size_t a, std::size_t b) { return keys[a] > keys[b]; });
  std::vector<bool> shown(rows.size(), false);
  std::size_t count = 0;
  Budget budget(kRecordBytes);
  for (std::size_t k : byDate) {
    if (!budget.take(rows[k])) break;
    shown[k] = true;
    ++count;
  }
  out += "<h2 id=\"records\">Записи</h2>\n";
  if (count < static_cast<std::size_t>(s.records()))
    out += "<p>Здесь последние по дате " + std::to_string(count) + " записей из " +
           std::to_string(s.records()) + "; все записи — в records.csv.</p>\n";
  out +=
      "<table class=\"sortable\"><thead><tr><th>Режим</th><th>Дата</th><th>Время</th>"
      "<th>Фамилия И.О.</th><th>Код</th><th>Группа</th><th>Тема</th><th>Вопросы</th>"
      "<th data-num>Сек</th><th data-num>Ответов</th><th data-num>Ошибок</th><th>Результат</th>"
      "</tr></thead><tbody>\n";
  for (std::size_t k = 0; k < rows.size(); ++k)
    if (shown[k]) out += rows[k];
  out += "</tbody></table>\n";
}

void mismatchSection(std::string& out, const std::vector<Mismatch>& mismatches) {
  out += "<h2 id=\"mismatches\">Сверка журналов с сервером</h2>\n";
  if (mismatches.empty()) {
    out += "<p>Расхождений нет: каждая запись журналов есть на сервере, и наоборот.</p>\n";
    return;
  }
  out += "<p class=\"mark\">Расхождений: " + std::to_string(mismatches.size()) +
         ". Запись на сервере кандидат не может ни изменить, ни удалить, а журнал в общей "
         "папке может поправить любой; все расхождения — в mismatches.csv.</p>\n";
  std::string rows;
  Budget budget(kMismatchBytes);
  std::size_t shown = 0;
  for (const Mismatch& m : mismatches) {
    std::string where =
        m.log.empty() ? std::string() : htmlEscape(m.log) + ", строка " + std::to_string(m.line);
    std::string seat = htmlEscape(m.host);
    if (!m.address.empty()) seat += " (" + htmlEscape(m.address) + ")";
    std::string row =
        "<tr><td>" + htmlEscape(mismatchKindText(m.kind)) + "</td><td>" +
        htmlEscape(modeName(m.exam)) + "</td><td data-v=\"" + htmlEscape(dateKey(m.date, m.time)) +
        "\">" + shortHtml(m.date) + " " + shortHtml(m.time) + "</td><td>" + shortHtml(m.name) +
        "</td><td>" + shortHtml(m.code) + "</td><td>" + shortHtml(m.group) + "</td><td>" +
        shortHtml(m.serverResult) + "</td><td>" + shortHtml(m.logResult) + "</td><td>" + where +
        "</td><td>" + seat + "</td><td>" + htmlEscape(m.serverTime) + "</td></tr>\n";
    if (!budget.take(row)) break;
    rows += row;
    ++shown;
  }
  out +=
      "<div class=\"wide\"><table class=\"sortable\"><thead><tr><th>Что</th><th>Режим</th>"
      "<th>Дата и время</th><th>Фамилия И.О.</th><th>Код</th><th>Группа</th>"
      "<th>На сервере</th><th>В журнале</th><th>Журнал</th><th>Компьютер</th>"
      "<th>Время сервера</th></tr></thead><tbody>\n" +
      rows + "</tbody></table></div>\n";
  if (shown < mismatches.size())
    out += "<p class=\"more\">Ещё " + std::to_string(mismatches.size() - shown) +
           " расхождений не поместились на страницу; они — в mismatches.csv.</p>\n";
}

}  // namespace

std::string htmlFromCp1251(const std::string& cp1251) { return htmlEscape(utf8FromCp1251(cp1251)); }

std::string cssRgb(const Rgb& c) {
  return "rgb(" + std::to_string(c.r) + ',' + std::to_string(c.g) + ',' + std::to_string(c.b) + ')';
}

std::string htmlEscape(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (char c : utf8) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string resultsPage(const Summary& summary, const std::vector<std::string>& notes,
                        const std::vector<Mismatch>* mismatches) {
  std::string out;
  out +=
      "<!DOCTYPE html>\n<html lang=\"ru\"><head><meta charset=\"utf-8\">"
      "<meta name=\"viewport\" content=\"width=device-width\"><title>Результаты тестирования</title><style>";
  out += std::string(kStyle) + gradeStyles();
  out += "</style></head><body>\n<h1>Результаты тестирования</h1>\n<p class=\"summary\">Записей: " +
         std::to_string(summary.records()) + " (экзамен " + std::to_string(summary.exams) +
         ", зачет " + std::to_string(summary.passFail) + ")";
  if (summary.unfinishedCount > 0)
    out += "; <a href=\"#unfinished\">незаконченных тестов: " +
           std::to_string(summary.unfinishedCount) + "</a>";
  if (summary.impossibleCount > 0)
    out += "; <a href=\"#impossible\">не учтено записей, которые не могут быть правдой: " +
           std::to_string(summary.impossibleCount) + "</a>";
  out += ".</p>\n";
  out +=
      "<p class=\"nav\">" +
      std::string(mismatches ? "<a href=\"#mismatches\">Сверка с сервером</a> · " : "") +
      "<a href=\"#groups\">Оценки по группам</a> · <a href=\"#questions\">Вопросы</a> · "
      "<a href=\"#candidates\">Кто ещё не сдал</a> · <a href=\"#unfinished\">Незаконченные тесты</a> · ";
  if (summary.impossibleCount > 0) out += "<a href=\"#impossible\">Невозможные записи</a> · ";
  out += "<a href=\"#records\">Записи</a></p>\n";
  if (!notes.empty()) {
    out += "<ul class=\"notes\">";
    Budget budget(kNotesBytes);
    std::size_t shown = 0;
    for (const auto& note : notes) {
      if (shown == kNotesOnPage) break;
      const std::string item = "<li>" + htmlEscape(shortNote(note)) + "</li>";
      if (!budget.take(item)) break;
      out += item;
      ++shown;
    }
    if (shown < notes.size())
      out += "<li class=\"more\">и ещё " + std::to_string(notes.size() - shown) + "</li>";
    out += "</ul>\n";
  }
  if (mismatches) mismatchSection(out, *mismatches);
  chartSection(out, summary.charts);
  questionSection(out, summary.questions);
  candidateSection(out, summary);
  unfinishedSection(out, summary);
  impossibleSection(out, summary);
  out += "<p class=\"hint\">Щелчок по заголовку столбца сортирует таблицу.</p>\n";
  recordSection(out, summary);
  out += "<script>";
  out += kScript;
  out += "</script>\n</body></html>\n";
  return out;
}
