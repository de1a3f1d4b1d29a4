// The protocol record from arbitrary candidate bytes (name, code, group, the
// topic title and the clock's texts): always exactly 18 lines ending in CR LF,
// and read back by the results tool as one record with the same fields, also
// between two other records, and judged by its consistency check.
#include <algorithm>
#include <string>
#include <vector>

#include "exam/report.h"
#include "fuzz_input.h"
#include "results/log_reader.h"
#include "results/record_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> fields = splitFiles(data, size);
  fields.resize(6);
  ReportInput input;
  input.exam = size % 2 == 0;
  input.name = fields[0];
  input.code = fields[1];
  input.group = fields[2];
  input.topic = fields[3];
  input.date = fields[4];
  input.time = fields[5];
  input.rangeFirst = 1;
  input.rangeLast = static_cast<std::uint16_t>(size);

  // The test's figures stay in the ranges a test session produces.
  TestResults results;
  const std::size_t answers = std::min<std::size_t>(size, kQuestionsPerTest);
  for (std::size_t i = 0; i < answers; ++i) {
    results.AskedQuestions[i] = static_cast<std::uint16_t>(data[i] * 257u);
    results.ChosenOptions[i] = static_cast<std::uint16_t>(data[i] % 10);
    results.AnswerResults[i] = data[i] % 3 != 0 ? 1 : 0;
    if (results.AnswerResults[i] == 0) ++results.ErrorCount;
  }
  results.AnswerCount = static_cast<std::int32_t>(answers);
  results.ElapsedSeconds = static_cast<std::int32_t>(size % 700);
  results.DrawCount = static_cast<std::uint16_t>(size);
  const bool exam = input.exam;
  const Evaluation evaluation = evaluate(results, exam);
  const ReportValues values = makeReportValues(input, results, evaluation);
  const std::string record = makeRecord(values);

  std::size_t lines = 0;
  for (std::size_t i = 0; i < record.size(); ++i) {
    if (record[i] == '\r') {
      FUZZ_CHECK(i + 1 < record.size() && record[i + 1] == '\n');
      ++lines;
      ++i;
    } else {
      FUZZ_CHECK(record[i] != '\n');
    }
  }
  FUZZ_CHECK(lines == 18);
  FUZZ_CHECK(record.size() >= 2 && record.substr(record.size() - 2) == "\r\n");

  // The writer turns control characters into blanks; that is what must come back.
  auto oneLine = [](std::string s) {
    for (char& c : s)
      if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    return s;
  };
  ReportValues plain;
  plain.exam = true;
  plain.date = "05.03.2024";
  plain.time = "07:08:09";
  plain.timeUsed = "1 \xF1\xE5\xEA";  // "1 сек"
  plain.range = "\xF1 1 \xEF\xEE 2";  // "с 1 по 2"
  plain.answers = "0";
  plain.errors = "0";
  plain.result = gradeFor(true, 0).text;
  LogContents read;
  readLog(makeRecord(plain) + record + makeRecord(plain), read);
  FUZZ_CHECK(read.skipped.empty());
  FUZZ_CHECK(read.records.size() == 3);
  const ReportValues& back = read.records[1].values;
  FUZZ_CHECK(read.records[1].line == 19);
  FUZZ_CHECK(back.exam == values.exam);
  for (auto field :
       {&ReportValues::date, &ReportValues::time, &ReportValues::name, &ReportValues::code,
        &ReportValues::group, &ReportValues::timeUsed, &ReportValues::topic, &ReportValues::range,
        &ReportValues::answers, &ReportValues::errors, &ReportValues::result})
    FUZZ_CHECK(back.*field == oneLine(values.*field));
  FUZZ_CHECK(back.listing.size() == values.listing.size());
  // Whatever the record holds, judging whether it can be true never fails.
  contradiction(read.records[1]);
  for (std::size_t k = 0; k < values.listing.size(); ++k) {
    FUZZ_CHECK(back.listing[k].question == values.listing[k].question);
    FUZZ_CHECK(back.listing[k].option == values.listing[k].option);
    FUZZ_CHECK(back.listing[k].right == values.listing[k].right);
  }
  return 0;
}
