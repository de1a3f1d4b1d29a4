#pragma once
// Keeping a test's trace: its start mark and its record go into the account's
// outbox first and from there into their log, so that neither a log that
// cannot be written nor a program ended in between loses them; while another
// program holds the log, the window waits for it a while without freezing.
#include <QString>
#include <string>

#include "exam/outbox.h"
#include "platform/ui/services.h"

class QWidget;

// How long a busy log is waited for before the entry is left in the outbox.
constexpr int kLockPatienceMs = 10'000;

struct Kept {
  enum class Where { Log, Outbox, Nowhere };
  Where where = Where::Nowhere;
  std::string target;  // the log's path
  std::string outboxFolder;
  AppendFailure logFailure;  // why it is not in the log (Outbox, Nowhere)
  // Why it is not in the outbox either (Nowhere), or why its copy for the
  // records server could not be left there.
  AppendFailure outboxFailure;
  // With a records server set up: why the entry's copy for it has not reached
  // it yet (it waits in the outbox); empty when it arrived.
  std::string serverWaits;
};

// An entry of this seat for the given log of the program folder.
OutboxEntry seatEntry(const Services& services, const char* kind, const std::string& logName,
                      bool exam, const std::string& id, std::string payload);

// Puts the entry in the outbox, then delivers it to its log; while another
// program holds the log, waits up to kLockPatienceMs with a wait cursor and a
// note in window, which meanwhile goes on answering. An entry that reached
// its log also takes the rest of the outbox along. With a records server set
// up, a copy for the server goes into the outbox as well, and everything
// waiting there for the server is sent, for no longer than kRecordsBound.
Kept keepEntry(QWidget* window, const Services& services, const OutboxEntry& entry);

// What to tell the user about an entry that did not reach its log: what,
// where it went instead and why ("протокол" or "отметка о начале теста"); for
// a record, also one whose copy for the records server has to wait. Empty
// when there is nothing to tell.
QString keptNotice(const Kept& kept, bool record);
