// Appending protocol records to one log from several processes at once, as
// copies of the program sharing a folder would: records per second, and a
// count of records lost or torn (which must stay 0).
#include <benchmark/benchmark.h>

#include <sys/wait.h>
#include <unistd.h>
#include <filesystem>
#include <fstream>

#include "exam/protocol_log.h"

namespace {

namespace fs = std::filesystem;

constexpr int kRecordsPerProcess = 200;

std::string recordOf(int writer, int number) {
  std::string r(57, '=');
  r += "\r\n";
  for (int line = 2; line <= 18; ++line)
    r += "writer " + std::to_string(writer) + " record " + std::to_string(number) + " line " +
         std::to_string(line) + "\r\n";
  return r;
}

// Records in the file that are not whole records of some writer.
long tornOrLost(const std::string& text, long expected) {
  const std::string head = std::string(57, '=') + "\r\n";
  long whole = 0;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find(head, at + 1);
    if (end == std::string::npos) end = text.size();
    const std::string one = text.substr(at, end - at);
    const auto w = std::stoi(one.substr(head.size() + 7));
    const auto n = std::stoi(one.substr(one.find("record ") + 7));
    whole += one == recordOf(w, n);
    at = end;
  }
  return expected - whole;
}

void BM_AppendFromProcesses(benchmark::State& state) {
  const int processes = static_cast<int>(state.range(0));
  const fs::path dir = fs::temp_directory_path() / ("vorsanit-bench-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string log = (dir / "ekzam.log").string();
  long total = 0;
  for (auto _ : state) {
    std::vector<pid_t> children;
    for (int p = 0; p < processes; ++p) {
      const pid_t pid = ::fork();
      if (pid == 0) {
        for (int n = 0; n < kRecordsPerProcess; ++n) (void)appendRecord(log, recordOf(p, n));
        ::_exit(0);
      }
      children.push_back(pid);
    }
    for (pid_t pid : children) ::waitpid(pid, nullptr, 0);
    total += static_cast<long>(processes) * kRecordsPerProcess;
  }
  std::ifstream in(log, std::ios::binary);
  const std::string text{std::istreambuf_iterator<char>(in), {}};
  state.counters["lost_or_torn"] = static_cast<double>(tornOrLost(text, total));
  state.SetItemsProcessed(total);
  fs::remove_all(dir);
}
BENCHMARK(BM_AppendFromProcesses)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
