#include "results/page.h"

#include <algorithm>

#include "platform/cp1251.h"
#include "results/tables.h"

namespace {

// Log text (code page 1251) ready to stand in the page.
std::string html(const std::string& cp1251) { return htmlEscape(utf8FromCp1251(cp1251)); }

std::string rgb(const Rgb& c) {
  return "rgb(" + std::to_string(c.r) + ',' + std::to_string(c.g) + ',' + std::to_string(c.b) + ')';
}

// "05.03.2024" and "07:08:09" sort as "20240305 07:08:09"; other date formats as they are.
std::string dateKey(const std::string& date, const std::string& time) {
  const bool dotted = date.size() == 10 && date[2] == '.' && date[5] == '.';
  const std::string day = dotted ? date.substr(6, 4) + date.substr(3, 2) + date.substr(0, 2) : date;
  return day + ' ' + time;
}

constexpr std::size_t kRowsOnPage = 5000;

// A class per grade keeps the colour out of every row of a long table.
std::string gradeClass(bool exam, int grade) { return (exam ? "e" : "p") + std::to_string(grade); }

std::string gradeStyles() {
  std::string css;
  for (bool exam : {true, false}) {
    const auto& scale = gradeScale(exam);
    for (std::size_t g = 0; g < scale.size(); ++g)
      css += ".swatch." + gradeClass(exam, static_cast<int>(g)) + "{background:" + rgb(scale[g].colour) + "}";
  }
  return css + "\n";
}

constexpr std::string_view kStyle = R"(
body{font:14px/1.4 "DejaVu Sans","Liberation Sans",Arial,sans-serif;color:#222;margin:24px auto;max-width:1100px;padding:0 16px}
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
.hint{color:#777;font-size:12px}
@page{size:A4;margin:12mm}
@media print{body{margin:0;max-width:none;padding:0;font-size:10pt}table{font-size:8pt}
.hint{display:none}th{cursor:auto}thead{display:table-header-group}tr{break-inside:avoid}
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
  const std::string group = c.group.empty() ? "без группы" : html(c.group);
  out += "<figure><figcaption>" + std::string(c.exam ? "Экзамен" : "Зачет") + " · " + group + " · записей: " +
         std::to_string(c.total) + "</figcaption>\n<svg width=\"330\" height=\"" + std::to_string(height) +
         "\" viewBox=\"0 0 330 " + std::to_string(height) + "\" role=\"img\">\n";
  for (std::size_t g = 0; g < scale.size(); ++g) {
    const int y = static_cast<int>(g) * rowHeight + 4;
    const int count = c.counts[g];
    const int width = count * barSpace / most;
    const int percent = c.total ? (count * 100 + c.total / 2) / c.total : 0;
    out += "<text x=\"0\" y=\"" + std::to_string(y + 13) + "\">" + html(scale[g].text) + "</text>";
    out += "<rect x=\"" + std::to_string(labelWidth) + "\" y=\"" + std::to_string(y) + "\" width=\"" +
           std::to_string(width) + "\" height=\"16\" fill=\"" + rgb(scale[g].colour) +
           "\" stroke=\"#555\" stroke-width=\"0.5\"/>";
    out += "<text x=\"" + std::to_string(labelWidth + width + 5) + "\" y=\"" + std::to_string(y + 13) + "\">" +
           std::to_string(count) + " (" + std::to_string(percent) + " %)</text>\n";
  }
  out += "</svg></figure>\n";
}

void questionTable(std::string& out, const std::vector<QuestionStats>& questions) {
  std::vector<const QuestionStats*> byFacility;
  for (const auto& q : questions) byFacility.push_back(&q);
  std::stable_sort(byFacility.begin(), byFacility.end(),
                   [](const QuestionStats* a, const QuestionStats* b) { return a->facility < b->facility; });
  int marked = 0;
  for (const auto* q : byFacility) marked += q->worthALook();
  out += "<h2>Вопросы</h2>\n<p>Вопросов: " + std::to_string(questions.size()) + ", стоит посмотреть: " +
         std::to_string(marked) +
         ". Доля верных — часть ответов на вопрос, данных верно; различение — доля верных у 27 % "
         "лучших записей минус доля у 27 % худших (по числу верных ответов), при 10 записях и больше.</p>\n"
         "<table class=\"sortable\"><thead><tr><th>Тема</th><th data-num>Вопрос</th><th data-num>Задан</th>"
         "<th data-num>Верно</th><th data-num aria-sort=\"ascending\">Доля верных</th>"
         "<th data-num>Различение</th><th>Отметка</th></tr></thead><tbody>\n";
  for (const auto* q : byFacility) {
    const bool look = q->worthALook();
    const int width = static_cast<int>(q->facility * 100 + 0.5);
    std::string why;
    if (q->facility < 0.3) why = "мало верных ответов";
    if (q->discrimination && *q->discrimination < 0)
      why += std::string(why.empty() ? "" : "; ") + "слабые отвечают лучше сильных";
    out += look ? "<tr class=\"look\">" : "<tr>";
    out += "<td>" + html(q->topic) + "</td><td class=\"n\">" + std::to_string(q->question) +
           "</td><td class=\"n\">" + std::to_string(q->asked) + "</td><td class=\"n\">" +
           std::to_string(q->right) + "</td><td class=\"n\" data-v=\"" + decimal(q->facility) +
           "\"><span class=\"bar\"><span style=\"width:" + std::to_string(width) + "%\"></span></span>" +
           decimal(q->facility) + "</td><td class=\"n\">" +
           (q->discrimination ? decimal(*q->discrimination) : std::string()) + "</td><td>" +
           (look ? "<span class=\"mark\">стоит посмотреть</span>: " + why : std::string()) + "</td></tr>\n";
  }
  out += "</tbody></table>\n";
}

void recordTable(std::string& out, const std::vector<LogRecord>& all) {
  // A browser chokes on a table of a whole year's records; the page keeps the
  // latest ones, and records.csv has them all.
  std::vector<const LogRecord*> records;
  for (const LogRecord& r : all) records.push_back(&r);
  out += "<h2>Записи</h2>\n";
  if (records.size() > kRowsOnPage) {
    std::vector<std::string> keys;
    for (const LogRecord& r : all) keys.push_back(dateKey(r.values.date, r.values.time));
    std::stable_sort(records.begin(), records.end(), [&](const LogRecord* a, const LogRecord* b) {
      return keys[static_cast<std::size_t>(a - all.data())] > keys[static_cast<std::size_t>(b - all.data())];
    });
    records.resize(kRowsOnPage);
    std::sort(records.begin(), records.end());  // back into log order
    out += "<p>Здесь последние по дате " + std::to_string(kRowsOnPage) + " записей из " +
           std::to_string(all.size()) + "; все записи — в records.csv.</p>\n";
  }
  out += "<table class=\"sortable\"><thead><tr><th>Режим</th><th>Дата</th><th>Время</th>"
         "<th>Фамилия И.О.</th><th>Код</th><th>Группа</th><th>Тема</th><th>Вопросы</th>"
         "<th data-num>Сек</th><th data-num>Ответов</th><th data-num>Ошибок</th><th>Результат</th>"
         "</tr></thead><tbody>\n";
  for (const LogRecord* row : records) {
    const LogRecord& r = *row;
    const ReportValues& v = r.values;
    out += "<tr><td>" + htmlEscape(modeName(v.exam)) + "</td><td data-v=\"" + html(dateKey(v.date, v.time)) +
           "\">" + html(v.date) + "</td><td>" + html(v.time) + "</td><td>" + html(v.name) + "</td><td>" +
           html(v.code) + "</td><td>" + html(v.group) + "</td><td>" + html(v.topic) + "</td><td data-v=\"" +
           std::to_string(r.rangeFirst) + "\">" + html(v.range) + "</td><td class=\"n\">" +
           std::to_string(r.seconds) + "</td><td class=\"n\">" + std::to_string(r.answers) +
           "</td><td class=\"n\">" + std::to_string(r.errors) + "</td><td data-v=\"" +
           std::to_string(v.exam ? r.grade : 10 + r.grade) + "\"><span class=\"swatch " + gradeClass(v.exam, r.grade) +
           "\"></span>" + html(v.result) + "</td></tr>\n";
  }
  out += "</tbody></table>\n";
}

}  // namespace

std::string htmlEscape(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (char c : utf8) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string resultsPage(const std::vector<LogRecord>& records, const Summary& summary,
                        const std::vector<std::string>& notes) {
  std::string out;
  out.reserve(4096 + records.size() * 400);
  out += "<!DOCTYPE html>\n<html lang=\"ru\"><head><meta charset=\"utf-8\">"
         "<meta name=\"viewport\" content=\"width=device-width\"><title>Результаты тестирования</title><style>";
  out += kStyle;
  out += gradeStyles();
  out += "</style></head><body>\n<h1>Результаты тестирования</h1>\n<p class=\"summary\">Записей: " +
         std::to_string(records.size()) + " (экзамен " + std::to_string(summary.exams) + ", зачет " +
         std::to_string(summary.passFail) + ").</p>\n";
  if (!notes.empty()) {
    out += "<ul class=\"notes\">";
    for (const auto& note : notes) out += "<li>" + htmlEscape(note) + "</li>";
    out += "</ul>\n";
  }
  out += "<h2>Оценки по группам</h2>\n<div class=\"charts\">\n";
  for (const GradeChart& c : summary.charts) chart(out, c);
  out += "</div>\n";
  questionTable(out, summary.questions);
  out += "<p class=\"hint\">Щелчок по заголовку столбца сортирует таблицу.</p>\n";
  recordTable(out, records);
  out += "<script>";
  out += kScript;
  out += "</script>\n</body></html>\n";
  return out;
}
