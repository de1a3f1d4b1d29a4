// The course checker on any six files (main.txt, vopros.txt, otvet.txt,
// konsult.txt, diapazon.txt, graph.txt): it never fails, every line it prints
// stays one line, and it agrees with the program: whenever the program refuses
// a topic or all topics, the checker reports an error.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/topic_list.h"
#include "bank/question_bank.h"
#include "check/course_check.h"
#include "fuzz_input.h"
#include "platform/text_file.h"

namespace {

namespace fs = std::filesystem;

const char* const kNames[] = {"main.txt",    "vopros.txt",   "otvet.txt",
                              "konsult.txt", "diapazon.txt", "graph.txt"};

// One folder per process, written anew for every input; an empty part is a missing file.
const std::string& folder() {
  static const std::string path = [] {
    const fs::path dir =
        fs::temp_directory_path() / ("vorsanit-check-fuzz-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    return dir.string() + "/";
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> files = splitFiles(data, size);
  files.resize(6);
  // Pictures are looked up only inside the folder: a name with a path could
  // reach a device or a file of the system.
  std::erase(files[5], '/');
  for (std::size_t i = 0; i < 6; ++i) {
    const std::string path = folder() + kNames[i];
    std::error_code ec;
    fs::remove(path, ec);
    if (!files[i].empty()) std::ofstream(path, std::ios::binary) << files[i];
  }

  const CourseCheck check = checkCourse(folder(), folder());
  FUZZ_CHECK(check.readable);
  for (const Finding& finding : check.findings)
    for (char c : formatFinding(finding)) FUZZ_CHECK(c != '\n' && c != '\r' && c != '\0');
  (void)summaryLine(check);

  if (files[0].empty()) return 0;  // without main.txt the program starts no mode at all
  const auto topicCount =
      static_cast<unsigned>(layoutTopicList(splitLines(files[0])).buttons.size());
  bool refused = false;
  for (unsigned topic = 0; topic < topicCount && topic <= 10; ++topic)
    if (!loadBank(folder(), topic, topicCount).usable()) refused = true;
  if (refused) FUZZ_CHECK(check.errors() > 0);
  return 0;
}
