#pragma once
// The records server: a PostgreSQL database of the school's to which every
// seat adds its protocol records and start marks, and from which the teacher
// reads them. Seats log in as members of the role vorsanit_seat, which can add
// a record through one function and do nothing else: no reading, changing or
// deleting. The server stamps each row with its own time and the address it
// came from; the seat never supplies those.
//
// Nothing here uses Qt; the program, the results tool and the benchmark share it.
// Texts are code page 1251 bytes like every rule's; the database holds UTF-8.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// Where a seat finds the server: the environment variable, else the file.
inline constexpr const char* kRecordsVariable = "VORSANIT_RECORDS";
inline constexpr const char* kRecordsConf = "/etc/vorsanit/records.conf";

// The longest a seat waits for the server, for a connection and for a whole round of sends.
inline constexpr std::chrono::milliseconds kRecordsBound{3000};

struct RecordsSetting {
  std::string conninfo;  // libpq's key=value form or a postgresql:// URI; empty: no server
  std::string problem;   // why the setting that was found cannot be used; empty when none
  bool set() const { return !conninfo.empty(); }
};

// The variable's value when it is not empty (nullptr: unset), else the
// records= line of the file; "records=" with nothing after it switches the
// server off. A value libpq cannot parse, a file that cannot be read or a line
// that is neither a comment nor records= gives no server and a problem that
// names the variable or the file and line. Never connects.
RecordsSetting recordsSetting(const char* variable, const std::string& confPath = kRecordsConf);

// One record or start mark as a seat sends it.
struct ServerItem {
  bool start = false;  // a start mark; else a protocol record
  std::string
      id;  // the test's UUID; one that is not a UUID is replaced by one made from the payload
  std::string host, account;  // the seat's host name and account
  bool exam = true;
  std::string payload;  // the exact bytes: the record (18 lines) or the start line
};

struct Delivery {
  enum class Outcome { Stored, AlreadyThere, NotNow };
  Outcome outcome = Outcome::NotNow;
  std::string reason;  // with NotNow, code page 1251: a short Russian phrase
  bool delivered() const { return outcome != Outcome::NotNow; }
};

// One round of sends to the server over one connection, bounded as a whole
// by its deadline: no call waits past it, whatever the network does (a name
// that does not resolve, a server that accepts and then stalls). A send
// either commits the row or leaves nothing, and a row already stored (the
// same id and the same bytes) is not stored again, so sending again what may
// have arrived is safe. A different row under an id already there is kept
// beside it: knowing a test's id does not let anyone replace its record.
// Once the server cannot be reached, every further send of the round fails at
// once with the same reason: a round with the server away costs one wait, not
// one per record. A row the server refuses fails alone.
class RecordsSender {
 public:
  RecordsSender(std::string conninfo, std::chrono::steady_clock::time_point deadline);
  ~RecordsSender();
  RecordsSender(const RecordsSender&) = delete;
  RecordsSender& operator=(const RecordsSender&) = delete;

  Delivery send(const ServerItem& item);

 private:
  struct Connection;
  std::string conninfo_;
  std::chrono::steady_clock::time_point deadline_;
  std::unique_ptr<Connection> connection_;
  std::string failure_;
};

// Connections this process has tried to open to a records server (to make
// sure that a seat with no server set up never tries one).
std::size_t recordsConnectionAttempts();

// ---- The teacher's side: setting up the database and reading it. ----

// Creates what the records need, or brings it up to date, in the database
// the connection string names, and the role vorsanit_seat, which may only add
// records. Run as the database's owner; running it again changes nothing.
// Returns nothing, or the reason it failed (code page 1251).
std::optional<std::string> initRecordsDatabase(const std::string& conninfo);

// A row as the server holds it. Texts from the seat are code page 1251.
struct ServerRow {
  std::string id;  // the UUID
  std::string host, account;
  std::string address;     // the client address the server saw; empty for a local socket
  std::string serverTime;  // "2024-03-05 07:08:09+03" in the session's time zone
  long ageSeconds = 0;     // since the server received it
  bool exam = true;
  std::string payload;    // the exact bytes the seat sent
  bool finished = false;  // start marks only: a record with the same id is stored
  bool sharedId = false;  // records only: another, different record has the same id
};

// Reads the records (or the start marks), oldest first, one row at a time.
// Returns nothing, or the reason the reading failed (code page 1251); rows
// handed on before a failure stand.
std::optional<std::string> readServerRows(const std::string& conninfo, bool starts,
                                          const std::function<void(const ServerRow&)>& onRow);
