// Writes ekzam.log and zachet.log of invented classes into a folder, with a
// few damaged records among them and one that cannot be true, and their start
// journals ekzam.start and zachet.start, to try the results tool on:
//   make_sample_logs DIR [RECORDS] [varied]
// "varied" gives many groups and topics, as the logs of a whole region.
#include <cstdio>
#include <fstream>
#include <string>

#include "exam/report.h"
#include "exam/start_mark.h"
#include "platform/cp1251.h"
#include "sample_logs.h"

namespace {

std::size_t lineCount(const std::string& text) {
  std::size_t n = 0;
  for (char c : text) n += c == '\n';
  return n;
}

// A record that an interrupted write, a hand edit or a re-save in UTF-8 left
// behind, or one written by hand that cannot be true.
std::string damaged(int kind, bool exam) {
  const std::string whole = sampleLog(1, exam, 1000u + static_cast<unsigned>(kind));
  switch (kind) {
    case 3: {  // a perfect test that asked one question ten times
      TestResults r;
      r.DrawCount = 35;
      r.ElapsedSeconds = 95;
      for (std::size_t k = 0; k < 10; ++k) {
        r.AskedQuestions[k] = 12;
        r.ChosenOptions[k] = 2;
        r.AnswerResults[k] = 1;
      }
      r.AnswerCount = 10;
      const ReportInput input{exam,
                              "10.03.2025",
                              "09:15:00",
                              cp("Петрова Б.В."),
                              "2",
                              cp("М-122"),
                              cp("Трехфазные цепи"),
                              1,
                              35};
      return makeRecord(makeReportValues(input, r, evaluate(r, exam)));
    }
    case 0:
      return whole.substr(0, whole.size() / 2);  // the write stopped halfway
    case 1:
      return utf8FromCp1251(whole);
    default: {
      std::string edited = whole;
      const std::string from = cp("Количество ошибок:     ");
      return edited.replace(edited.find(from), from.size(), cp("Ошибок: "));
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: make_sample_logs DIR [RECORDS] [varied]\n");
    return 2;
  }
  const std::string dir = argv[1];
  const std::size_t total = argc > 2 ? std::stoul(argv[2]) : 100000;
  const bool varied = argc > 3 && std::string(argv[3]) == "varied";
  const std::size_t exams = total * 3 / 5, passFail = total - exams;
  struct Log {
    const char* name;
    bool exam;
    std::size_t records;
    int firstDamage, damages;
  } logs[] = {{"ekzam.log", true, exams, 0, 2}, {"zachet.log", false, passFail, 2, 2}};
  for (const Log& log : logs) {
    std::string journal;
    const std::string records =
        sampleLog(log.records, log.exam, log.exam ? 1u : 2u, varied, &journal);
    std::ofstream(dir + "/" + startJournalName(log.exam), std::ios::binary | std::ios::trunc)
        << journal;
    std::string text;
    // Damaged records stand after every third of the whole ones.
    std::size_t from = 0;
    for (int d = 0; d < log.damages; ++d) {
      std::size_t at = records.size() * static_cast<std::size_t>(d + 1) /
                       static_cast<std::size_t>(log.damages + 1);
      at = records.find(std::string(57, '='), at);
      if (at == std::string::npos) at = records.size();
      text += records.substr(from, at - from);
      std::printf("%s:%zu damaged record (kind %d)\n", log.name, lineCount(text) + 1,
                  log.firstDamage + d);
      text += damaged(log.firstDamage + d, log.exam);
      from = at;
    }
    text += records.substr(from);
    std::ofstream out(dir + "/" + log.name, std::ios::binary | std::ios::trunc);
    out << text;
    std::printf("%s: %zu whole records, %d damaged\n", log.name, log.records, log.damages);
  }
  return 0;
}
