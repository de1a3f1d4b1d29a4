#pragma once
// Helpers shared by the fuzz targets.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

// Several files in one input, separated by this line; the seed corpus is built
// the same way (make_seeds.sh).
inline constexpr std::string_view kFileSeparator = "\n#~#~#\n";

inline std::vector<std::string> splitFiles(const std::uint8_t* data, std::size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> files;
  for (;;) {
    const std::size_t at = rest.find(kFileSeparator);
    if (at == std::string_view::npos) {
      files.emplace_back(rest);
      return files;
    }
    files.emplace_back(rest.substr(0, at));
    rest.remove_prefix(at + kFileSeparator.size());
  }
}

// A broken property is a finding: say which and stop, so that libFuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                               \
  do {                                                                                      \
    if (!(condition)) {                                                                     \
      std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                         \
    }                                                                                       \
  } while (false)
