// The protocol record from arbitrary candidate bytes (name, code, group, the
// topic title and the clock's texts): always exactly 18 lines ending in CR LF.
#include <algorithm>
#include <string>
#include <vector>

#include "exam/report.h"
#include "fuzz_input.h"

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
  const std::string record = makeRecord(makeReportValues(input, results, evaluation));

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
  return 0;
}
