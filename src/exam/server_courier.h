#pragma once
// The outbox's way to the records server: every entry for "server" goes in
// one round over one connection, bounded as a whole, and its file is removed
// only once the server has the row (or had it already), so that a program
// ended between the send and the removal sends it again harmlessly.
#include <chrono>
#include <string>

#include "exam/outbox.h"
#include "exam/records_server.h"

class ServerCourier final : public Courier {
 public:
  ServerCourier(std::string conninfo, std::chrono::steady_clock::time_point deadline);
  std::optional<AppendFailure> deliver(const OutboxEntry& entry) override;

 private:
  RecordsSender sender_;
};

// Delivers the outbox's entries for the server, within the bound; entries
// for logs are left for the log courier. What is left says why.
DeliverySummary deliverToServer(const std::string& outboxFolder, const std::string& conninfo,
                                std::chrono::milliseconds bound = kRecordsBound);
