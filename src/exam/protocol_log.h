#pragma once
// Appending a protocol record to a log that several copies of the program may
// share: the record goes in whole, in one write under an exclusive lock, or not
// at all, and what the file held before is never touched.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct AppendFailure {
  int code = 0;        // the system's error number
  std::string reason;  // code page 1251, a short Russian phrase
};

// Whether appendRecord waits for a lock another process holds, or reports the
// log busy (EWOULDBLOCK) at once, so that the caller can stay responsive.
enum class LockWait { Block, Try };

struct AppendOptions {
  LockWait lock = LockWait::Block;
  // When set, the record is not appended again if the log already holds it at
  // or after this offset: a delivery interrupted after its append and retried
  // later then finds its record instead of doubling it.
  std::optional<std::uint64_t> unlessFoundFrom;
};

// Creates the file when it is missing: under its own name only, with the
// folder's group and, where the folder lets its group write, group-writable,
// so that the next candidate of a class can append too. On a failure the file
// is cut back to the length it had, and the reason is returned.
std::optional<AppendFailure> appendRecord(const std::string& path, std::string_view record,
                                          const AppendOptions& options = {});

// The size of a log now, 0 when there is none: where a record appended later
// will stand at the earliest.
std::uint64_t logSize(const std::string& path);

// The Russian phrase for a system error number.
std::string failureReason(int code);
