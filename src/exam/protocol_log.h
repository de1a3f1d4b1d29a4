#pragma once
// Appending a protocol record to a log that several copies of the program may
// share: the record goes in whole, in one write under an exclusive lock, or not
// at all, and what the file held before is never touched.
#include <optional>
#include <string>
#include <string_view>

struct AppendFailure {
  int code = 0;        // the system's error number
  std::string reason;  // code page 1251, a short Russian phrase
};

// Creates the file when it is missing. On a failure the file is cut back to
// the length it had, and the reason is returned.
std::optional<AppendFailure> appendRecord(const std::string& path, std::string_view record);

// The Russian phrase for a system error number.
std::string failureReason(int code);
