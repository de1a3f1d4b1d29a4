#pragma once
// The results tool (RESULTS_TOOL, set by the build) run in a folder as the
// teacher would run it from a terminal, and the files it leaves.
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

struct Outcome {
  int exit;
  std::string output;  // standard output and standard error together
};

inline Outcome run(const std::filesystem::path& dir, const std::string& args) {
  const std::string command =
      "cd '" + dir.string() + "' && LC_ALL=C.UTF-8 timeout 20 " RESULTS_TOOL " " + args + " 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  std::string output;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    output.append(buffer, n);
  const int status = ::pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

inline std::string slurp(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
