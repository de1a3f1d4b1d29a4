#include "results/protocols.h"

#include "results/page.h"

namespace {

std::string html(const std::string& cp1251) { return htmlFromCp1251(cp1251); }

// The report window's labels at its own places (left, top in pixels), so
// that the paper reads as the screen did.
constexpr std::string_view kStyle = R"(
body{font:13px/1.3 "DejaVu Sans","Liberation Sans",Arial,sans-serif;color:#000;background:#e8e8e8;margin:0}
.sheet{background:#fff;width:180mm;min-height:250mm;margin:12px auto;padding:15mm;box-shadow:0 1px 4px #999}
.sheet h1{font-size:17px;margin:0 0 2px}.source{color:#555;font-size:11px;margin:0 0 14px}
.report{position:relative;width:520px;height:330px;border:1px solid #999;background:#f0f0f0;
font:12px/1.25 "Liberation Sans",Arial,sans-serif}
.report span{position:absolute;white-space:nowrap}
.report .value{font-weight:bold}.report .topic{white-space:normal;width:440px}
.report .name{white-space:normal;width:384px;line-height:12px}
.report .result{font-size:20px;font-weight:bold;-webkit-text-stroke:.3px #000}
.report .col{text-align:center;width:28px;white-space:pre}
.sign{margin-top:28px;line-height:2.6}
@page{size:A4;margin:0}
@media print{body{background:none}.sheet{margin:0;box-shadow:none;break-after:page}.sheet:last-child{break-after:auto}
*{-webkit-print-color-adjust:exact;print-color-adjust:exact}}
)";

void at(std::string& out, int left, int top, std::string_view cls, const std::string& text) {
  out += "<span";
  if (!cls.empty()) out += " class=\"" + std::string(cls) + "\"";
  out += " style=\"left:" + std::to_string(left) + "px;top:" + std::to_string(top) + "px\">" +
         text + "</span>";
}

}  // namespace

std::string protocolsHead() {
  return "<!DOCTYPE html>\n<html lang=\"ru\"><head><meta charset=\"utf-8\"><title>Протоколы</title><style>" +
         std::string(kStyle) + "</style></head><body>\n";
}

void appendProtocol(std::string& out, const LogRecord& r, std::string_view source) {
  const ReportValues& v = r.values;
  out += "<section class=\"sheet\"><h1>Протокол: ";
  out += v.exam ? "экзамен" : "зачет";
  out += "</h1><p class=\"source\">" + htmlEscape(source) + "</p>\n<div class=\"report\">";
  const struct {
    const char* caption;
    int left, top, valueLeft;
    std::string value;
  } pairs[] = {
      {"Фамилия И.О.: ", 16, 16, 120, html(v.name)},
      {"Код:", 16, 40, 120, html(v.code)},
      {"Номер группы:", 16, 64, 120, html(v.group)},
      {"Потребовалось времени:", 16, 96, 192, html(v.timeUsed)},
      {"Режим работы:", 16, 120, 192, v.exam ? "Экзамен" : "Зачет"},
      {"Вопросы:", 16, 144, 192, html(v.range)},
      {"Получено ответов:", 288, 96, 432, html(v.answers)},
      {"Правильных ответов:", 288, 120, 432, std::to_string(r.right)},
      {"Ошибок:", 288, 144, 432, html(v.errors)},
      {"Дата:", 64, 296, 112, html(v.date)},
      {"Время:", 256, 296, 312, html(v.time)},
  };
  for (const auto& p : pairs) {
    at(out, p.left, p.top, "", p.caption);
    // A long name takes a second line in the box, close enough to stay above the code.
    const bool name = &p == &pairs[0];
    at(out, p.valueLeft, p.top, name ? "value name" : "value", p.value);
  }
  at(out, 16, 168, "", "Тема:");
  at(out, 64, 168, "value topic", html(v.topic));
  at(out, 152, 200, "", "Результат:");
  const Rgb colour = gradeScale(v.exam)[static_cast<std::size_t>(r.grade)].colour;
  out += "<span class=\"result\" style=\"left:256px;top:194px;color:" + cssRgb(colour) + "\">" +
         html(v.result) + "</span>";
  at(out, 16, 247, "", "Номер вопроса:<br>Номер ответа");
  for (std::size_t k = 0; k < v.listing.size() && k < 10; ++k) {
    const auto& e = v.listing[k];
    at(out, 128 + 30 * static_cast<int>(k), 247, "col",
       std::to_string(e.question) + "\n" + std::to_string(e.option) + (e.right ? "(+)" : "(-)"));
  }
  out +=
      "</div>\n<p class=\"sign\">Экзаменатор: ____________________ / ____________________<br>"
      "Экзаменуемый: ____________________</p></section>\n";
}

std::string protocolsTail(std::size_t records) {
  return records == 0 ? "<p style=\"text-align:center\">Нет записей.</p>\n</body></html>\n"
                      : "</body></html>\n";
}
