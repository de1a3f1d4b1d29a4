#pragma once
// The account's outbox: every record and start mark is first put here, one
// file each, and removed only once it has reached where it goes. A log that
// cannot be written, a busy one or a program ended in between leaves the file
// behind, and the next delivery (at the next start of the program, after the
// next record) takes it there, exactly once.
#include <cstdint>
#include <string>
#include <vector>

#include "exam/protocol_log.h"
#include "platform/expected.h"

// One record (or start mark) on its way.
struct OutboxEntry {
  std::string kind;     // "record" (an 18-line protocol record) or "start" (a start-journal line)
  std::string target;   // the absolute path of a log or start journal, or "server"
  std::string id;       // the test's UUID, the same for its start mark and its record
  std::string host;     // the seat's host name
  std::string account;  // the seat's account
  bool exam = true;
  std::uint64_t since = 0;  // a file target's size when the entry was made
  std::string payload;      // the exact bytes that go into the target
  bool operator==(const OutboxEntry&) const = default;
};

// $XDG_STATE_HOME/vorsanit/outbox/, or ~/.local/state/vorsanit/outbox/; ends in '/'.
std::string defaultOutboxFolder();

// The entry as its file holds it, and back (nothing for a damaged or foreign file).
std::string serializeEntry(const OutboxEntry& entry);
std::optional<OutboxEntry> parseEntry(std::string_view bytes);

// Writes the entry as one file of its own, private to the account (a
// temporary, synced, then renamed), making the folder (0700) when it is
// missing. Returns the file's path, or why it could not be written.
Expected<std::string, AppendFailure> putInOutbox(const std::string& folder,
                                                 const OutboxEntry& entry);

struct OutboxItem {
  std::string file;
  OutboxEntry entry;
};
// The entries waiting, oldest first. Files of other names, of other accounts,
// links and damaged entries are left alone.
std::vector<OutboxItem> readOutbox(const std::string& folder);

// Gives every entry for a log that has no copy for "server" one. A record
// goes into the outbox twice, for its log and for the server, and a program
// ended between the two leaves only the first. A copy made for one that had
// reached the server already costs a resend and no second row.
void copyForServer(const std::string& folder);

// Takes an entry where it goes.
class Courier {
 public:
  virtual ~Courier() = default;
  // Nothing when the entry arrived (or had arrived before); otherwise why not.
  virtual std::optional<AppendFailure> deliver(const OutboxEntry& entry) = 0;
};

// Logs and start journals: appended without waiting for a lock another
// process holds, and not again when the target already holds the entry.
class LogCourier final : public Courier {
 public:
  std::optional<AppendFailure> deliver(const OutboxEntry& entry) override;
};

// Removes an entry's file once it has arrived.
void removeFromOutbox(const std::string& file);

struct DeliverySummary {
  int delivered = 0;
  std::vector<std::pair<OutboxItem, AppendFailure>> left;  // still waiting, and why
};

// Delivers every waiting entry: file targets by files, "server" ones by
// server (left waiting when there is none).
DeliverySummary deliverOutbox(const std::string& folder, Courier& files, Courier* server = nullptr);
