#include "exam/records_server.h"

#include <libpq-fe.h>
#include <poll.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>
#include <thread>
#include <vector>

#include "exam/protocol_log.h"
#include "exam/start_mark.h"
#include "platform/cp1251.h"
#include "results/log_reader.h"

using Clock = std::chrono::steady_clock;

namespace {

// ---- The setting ----

std::string trim(std::string_view s) {
  const std::size_t first = s.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const std::size_t last = s.find_last_not_of(" \t\r\n");
  return std::string(s.substr(first, last - first + 1));
}

// The first line of a libpq message, in code page 1251.
std::string firstLine(const char* message) {
  std::string text = message ? message : "";
  const std::size_t end = text.find('\n');
  if (end != std::string::npos) text.resize(end);
  return cp1251FromUtf8(trim(text));
}

// A reason with libpq's own words after it, which name the host, the port
// or the server's complaint.
std::string because(std::string_view what, const char* detail) {
  const std::string words = firstLine(detail);
  return cp(what) + (words.empty() ? std::string() : " (" + words + ")");
}

// Whether libpq takes the string; the reason when it does not.
std::optional<std::string> conninfoProblem(const std::string& conninfo) {
  char* error = nullptr;
  PQconninfoOption* options = PQconninfoParse(conninfo.c_str(), &error);
  if (options) {
    PQconninfoFree(options);
    return std::nullopt;
  }
  std::string reason = error ? firstLine(error) : cp("нет памяти");
  PQfreemem(error);
  return reason;
}

// ---- Texts for the server ----

// A name the system gave (host, account) as the database's UTF-8; bytes that
// are no UTF-8 are taken for code page 1251. NUL bytes cannot travel.
std::string systemText(std::string_view s) {
  std::string text = isWellFormedUtf8(s) ? std::string(s) : utf8FromCp1251(s);
  std::erase(text, '\0');
  return text;
}

bool isUuid(std::string_view s) {
  if (s.size() != 36) return false;
  for (std::size_t k = 0; k < s.size(); ++k) {
    const char c = s[k];
    const bool dash = k == 8 || k == 13 || k == 18 || k == 23;
    if (dash ? c != '-' : !std::isxdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

// Parameters of one call: texts (NUL-terminated) or raw bytes, or NULL.
class Parameters {
 public:
  void text(std::string value) { add(std::move(value), 0, false); }
  void cpText(std::string_view value) { text(utf8FromCp1251(value)); }
  void number(int value) { text(std::to_string(value)); }
  void boolean(bool value) { text(value ? "t" : "f"); }
  void bytes(std::string value) { add(std::move(value), 1, false); }
  void null() { add({}, 0, true); }
  int count() const { return static_cast<int>(values_.size()); }

  // Valid until the next add.
  const char* const* values() {
    pointers_.clear();
    for (std::size_t k = 0; k < values_.size(); ++k)
      pointers_.push_back(nulls_[k] ? nullptr : values_[k].c_str());
    return pointers_.data();
  }
  const int* lengths() const { return lengths_.data(); }
  const int* formats() const { return formats_.data(); }

 private:
  void add(std::string value, int format, bool null) {
    lengths_.push_back(static_cast<int>(value.size()));
    formats_.push_back(format);
    nulls_.push_back(null);
    values_.push_back(std::move(value));
  }
  std::vector<std::string> values_;
  std::vector<int> lengths_, formats_;
  std::vector<bool> nulls_;
  std::vector<const char*> pointers_;
};

constexpr const char* kAddRecord =
    "SELECT vorsanit.add_record($1::uuid, $2::boolean, $3::text, $4::text, $5::text, $6::text, "
    "$7::text, $8::text, $9::text, $10::integer, $11::integer, $12::integer, $13::text, "
    "$14::text, $15::text, $16::text, $17::bytea)";
constexpr const char* kAddStart =
    "SELECT vorsanit.add_start($1::uuid, $2::boolean, $3::text, $4::text, $5::text, $6::text, "
    "$7::text, $8::text, $9::text, $10::text, $11::text, $12::bytea)";

// The fields the server keeps beside the exact bytes. A payload that is not
// what the program writes still goes, with its fields empty, so that nothing
// waits in the outbox for ever; the teacher's tool names it as damaged.
Parameters parametersOf(const ServerItem& item) {
  Parameters p;
  if (isUuid(item.id))
    p.text(item.id);
  else
    p.null();  // the server makes the id from the payload, the same at every resend
  if (item.start) {
    const auto mark = parseStartMark(item.payload);
    p.boolean(mark ? mark->exam : item.exam);
    if (mark) {
      for (const std::string* field : {&mark->date, &mark->time, &mark->topic, &mark->range,
                                       &mark->code, &mark->name, &mark->group})
        p.cpText(*field);
    } else {
      for (int k = 0; k < 7; ++k) p.null();
    }
  } else {
    LogContents contents;
    readLog(item.payload, contents);
    const bool parsed = contents.records.size() == 1 && contents.skipped.empty();
    p.boolean(parsed ? contents.records[0].values.exam : item.exam);
    if (parsed) {
      const LogRecord& r = contents.records[0];
      const ReportValues& v = r.values;
      for (const std::string* field :
           {&v.date, &v.time, &v.name, &v.code, &v.group, &v.topic, &v.range})
        p.cpText(*field);
      p.number(r.seconds);
      p.number(r.answers);
      p.number(r.errors);
      p.cpText(v.result);
      std::string listing;
      for (const auto& e : v.listing)
        listing += (listing.empty() ? "" : "    ") + std::to_string(e.question) + ": " +
                   std::to_string(e.option) + (e.right ? "(+)" : "(-)");
      p.text(listing);
    } else {
      for (int k = 0; k < 12; ++k) p.null();
    }
  }
  p.text(systemText(item.host));
  p.text(systemText(item.account));
  p.bytes(item.payload);
  return p;
}

// ---- Connections ----

std::string timeoutReason() {
  return cp("сервер протоколов не ответил за ") +
         std::to_string(std::chrono::duration_cast<std::chrono::seconds>(kRecordsBound).count()) +
         cp(" с");
}

// Opens a connection with our own settings after the school's: UTF-8 texts,
// the program's name in the server's list of sessions.
PGconn* startConnection(const std::string& conninfo, bool wait, const char* timeout) {
  const char* keys[] = {"dbname", "fallback_application_name", "client_encoding", "connect_timeout",
                        nullptr};
  const char* values[] = {conninfo.c_str(), "vorsanit", "UTF8", timeout, nullptr};
  return wait ? PQconnectdbParams(keys, values, 1) : PQconnectStartParams(keys, values, 1);
}

// Waits until the connection's socket can be read (or written); false when
// the deadline comes first or the socket is gone.
bool waitSocket(PGconn* conn, bool write, Clock::time_point deadline) {
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return false;
    pollfd fd{PQsocket(conn), static_cast<short>(write ? POLLOUT : POLLIN), 0};
    if (fd.fd < 0) return false;
    const int ready = ::poll(&fd, 1, static_cast<int>(left.count()));
    if (ready > 0) return true;
    if (ready < 0 && errno != EINTR) return false;
  }
}

// Connects without blocking, polling the socket up to the deadline. Only a
// host name's lookup can take longer (libpq resolves it before the first
// poll), which is why this runs on a thread of its own.
PGconn* connectBounded(const std::string& conninfo, Clock::time_point deadline,
                       std::string& error) {
  PGconn* conn = startConnection(conninfo, false, "3");
  if (!conn) {
    error = cp("нет памяти");
    return nullptr;
  }
  PostgresPollingStatusType state = PGRES_POLLING_WRITING;
  if (PQstatus(conn) == CONNECTION_BAD) state = PGRES_POLLING_FAILED;
  while (state != PGRES_POLLING_OK && state != PGRES_POLLING_FAILED) {
    if (!waitSocket(conn, state == PGRES_POLLING_WRITING, deadline)) {
      error = timeoutReason();
      PQfinish(conn);
      return nullptr;
    }
    state = PQconnectPoll(conn);
  }
  if (state == PGRES_POLLING_FAILED) {
    error = because("не удалось подключиться к серверу протоколов", PQerrorMessage(conn));
    PQfinish(conn);
    return nullptr;
  }
  PQsetnonblocking(conn, 1);
  // The server's notices (its shutdown, say) are nothing a seat's user could act on.
  PQsetNoticeProcessor(
      conn, [](void*, const char*) {}, nullptr);
  return conn;
}

// What the connecting thread hands over; whoever comes last frees it.
struct PendingConnection {
  std::mutex mutex;
  std::condition_variable ready;
  bool done = false, abandoned = false;
  PGconn* conn = nullptr;
  std::string error;
};

}  // namespace

// ---- The setting ----

RecordsSetting recordsSetting(const char* variable, const std::string& confPath) {
  RecordsSetting setting;
  auto use = [&](std::string value, const std::string& where) {
    if (auto problem = conninfoProblem(value)) {
      setting.problem = where + cp(": строка подключения не распознана (") + *problem + ")";
      return;
    }
    setting.conninfo = std::move(value);
  };
  if (variable && *variable) {
    use(variable, kRecordsVariable);
    return setting;
  }

  std::ifstream file(confPath, std::ios::binary);
  if (!file) {
    // No file: no server. A file that is there but cannot be read is a fault to tell.
    if (errno != ENOENT && errno != ENOTDIR)
      setting.problem = confPath + cp(": файл не прочитан: ") + failureReason(errno);
    return setting;
  }
  std::string line;
  std::optional<std::string> value;
  int number = 0, valueLine = 0;
  while (std::getline(file, line)) {
    ++number;
    const std::string text = trim(line);
    if (text.empty() || text[0] == '#') continue;
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos || trim(text.substr(0, equals)) != "records") {
      setting.problem = confPath + cp(", строка ") + std::to_string(number) +
                        cp(": ожидалось records=строка подключения");
      return setting;
    }
    value = trim(text.substr(equals + 1));
    valueLine = number;
  }
  if (file.bad()) {
    setting.problem = confPath + cp(": файл не прочитан: ") + failureReason(EIO);
    return setting;
  }
  if (value && !value->empty()) use(*value, confPath + cp(", строка ") + std::to_string(valueLine));
  return setting;
}

// ---- Sending ----

namespace {
std::atomic<std::size_t> connectionAttempts{0};
}  // namespace

std::size_t recordsConnectionAttempts() { return connectionAttempts.load(); }

namespace {
std::string lost(PGconn* conn) {
  return because("связь с сервером протоколов прервалась", PQerrorMessage(conn));
}
}  // namespace

struct RecordsSender::Connection {
  PGconn* conn = nullptr;
  ~Connection() { PQfinish(conn); }
};

RecordsSender::RecordsSender(std::string conninfo, Clock::time_point deadline)
    : conninfo_(std::move(conninfo)), deadline_(deadline) {}

RecordsSender::~RecordsSender() = default;

Delivery RecordsSender::send(const ServerItem& item) {
  auto notNow = [&](std::string reason) {
    failure_ = std::move(reason);
    connection_.reset();
    return Delivery{Delivery::Outcome::NotNow, failure_};
  };
  if (!failure_.empty()) return {Delivery::Outcome::NotNow, failure_};
  if (Clock::now() >= deadline_) return notNow(timeoutReason());

  if (!connection_) {
    ++connectionAttempts;
    auto pending = std::make_shared<PendingConnection>();
    std::thread([pending, conninfo = conninfo_, deadline = deadline_] {
      std::string error;
      PGconn* conn = connectBounded(conninfo, deadline, error);
      std::lock_guard lock(pending->mutex);
      if (pending->abandoned) {
        PQfinish(conn);
      } else {
        pending->conn = conn;
        pending->error = std::move(error);
      }
      pending->done = true;
      pending->ready.notify_all();
    }).detach();
    std::unique_lock lock(pending->mutex);
    if (!pending->ready.wait_until(lock, deadline_, [&] { return pending->done; })) {
      pending->abandoned = true;  // the thread closes what it may still open
      return notNow(timeoutReason());
    }
    if (!pending->conn) return notNow(pending->error);
    connection_ = std::make_unique<Connection>();
    connection_->conn = pending->conn;
  }

  PGconn* conn = connection_->conn;
  Parameters p = parametersOf(item);
  if (!PQsendQueryParams(conn, item.start ? kAddStart : kAddRecord, p.count(), nullptr, p.values(),
                         p.lengths(), p.formats(), 0))
    return notNow(lost(conn));
  for (;;) {
    const int flushed = PQflush(conn);
    if (flushed == 0) break;
    if (flushed < 0) return notNow(lost(conn));
    if (!waitSocket(conn, true, deadline_)) return notNow(timeoutReason());
    if (!PQconsumeInput(conn)) return notNow(lost(conn));
  }
  Delivery delivery;
  bool answered = false;
  for (;;) {
    while (PQisBusy(conn)) {
      if (!waitSocket(conn, false, deadline_)) return notNow(timeoutReason());
      if (!PQconsumeInput(conn)) return notNow(lost(conn));
    }
    PGresult* result = PQgetResult(conn);
    if (!result) break;
    if (PQresultStatus(result) == PGRES_TUPLES_OK && PQntuples(result) == 1) {
      answered = true;
      const bool stored = !PQgetisnull(result, 0, 0) && PQgetvalue(result, 0, 0)[0] == 't';
      delivery.outcome = stored ? Delivery::Outcome::Stored : Delivery::Outcome::AlreadyThere;
    } else if (!answered && delivery.reason.empty()) {
      const char* primary = PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY);
      delivery.reason = PQstatus(conn) == CONNECTION_BAD
                            ? lost(conn)
                            : because("сервер протоколов не принял запись",
                                      primary ? primary : PQresultErrorMessage(result));
    }
    PQclear(result);
  }
  // A row the server refused leaves the connection as it was: the round goes
  // on, so that one such row does not keep every later one off the server.
  if (answered || (!delivery.reason.empty() && PQstatus(conn) == CONNECTION_OK)) return delivery;
  return notNow(delivery.reason.empty() ? cp("сервер протоколов не ответил") : delivery.reason);
}

// ---- The teacher's side ----

namespace {

constexpr const char* kSchema[] = {
    // One set-up at a time, so that two teachers starting it at once do not trip over each other.
    "SELECT pg_advisory_xact_lock(4927371)",
    R"(DO $$
BEGIN
  IF NOT EXISTS (SELECT FROM pg_catalog.pg_roles WHERE rolname = 'vorsanit_seat') THEN
    CREATE ROLE vorsanit_seat NOLOGIN;
  END IF;
EXCEPTION WHEN duplicate_object OR unique_violation THEN
  NULL;  -- made meanwhile for another database of the same server
END
$$)",
    "CREATE SCHEMA IF NOT EXISTS vorsanit",
    // A row is known by its test's id and its exact bytes: sending it again
    // adds nothing, while a different row under the same id (a record made
    // up by someone who read the id in the start journal and sent first) is
    // kept beside the real one instead of shutting it out.
    R"(CREATE TABLE IF NOT EXISTS vorsanit.records (
  id uuid NOT NULL,
  exam boolean NOT NULL,
  seat_date text, seat_time text, name text, code text, group_name text, topic text,
  range_text text, seconds integer, answers integer, errors integer, grade text, listing text,
  host text NOT NULL,
  account text NOT NULL,
  record bytea NOT NULL CHECK (octet_length(record) <= 1048576),
  digest bytea GENERATED ALWAYS AS (sha256(record)) STORED,
  received_at timestamptz NOT NULL DEFAULT now(),
  client_addr inet DEFAULT inet_client_addr(),
  PRIMARY KEY (id, digest)
))",
    R"(CREATE TABLE IF NOT EXISTS vorsanit.starts (
  id uuid NOT NULL,
  exam boolean NOT NULL,
  seat_date text, seat_time text, topic text, range_text text, code text, name text,
  group_name text,
  host text NOT NULL,
  account text NOT NULL,
  line bytea NOT NULL CHECK (octet_length(line) <= 65536),
  digest bytea GENERATED ALWAYS AS (sha256(line)) STORED,
  received_at timestamptz NOT NULL DEFAULT now(),
  client_addr inet DEFAULT inet_client_addr(),
  PRIMARY KEY (id, digest)
))",
    "CREATE INDEX IF NOT EXISTS records_received ON vorsanit.records (received_at)",
    "CREATE INDEX IF NOT EXISTS starts_received ON vorsanit.starts (received_at)",
    // The seats add rows only through these functions, which run with the
    // owner's rights and leave the server's time and the client's address to
    // the columns' defaults. A search path of the system's alone keeps a
    // seat's own objects out of them.
    R"(CREATE OR REPLACE FUNCTION vorsanit.add_record(
  p_id uuid, p_exam boolean, p_seat_date text, p_seat_time text, p_name text, p_code text,
  p_group text, p_topic text, p_range text, p_seconds integer, p_answers integer,
  p_errors integer, p_grade text, p_listing text, p_host text, p_account text, p_record bytea)
RETURNS boolean LANGUAGE sql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
  WITH added AS (
    INSERT INTO vorsanit.records (id, exam, seat_date, seat_time, name, code, group_name, topic,
                                  range_text, seconds, answers, errors, grade, listing, host,
                                  account, record)
    VALUES (coalesce(p_id, md5(p_record)::uuid), p_exam, p_seat_date, p_seat_time, p_name, p_code,
            p_group, p_topic, p_range, p_seconds, p_answers, p_errors, p_grade, p_listing, p_host,
            p_account, p_record)
    ON CONFLICT (id, digest) DO NOTHING
    RETURNING true)
  SELECT coalesce((SELECT true FROM added), false)
$$)",
    R"(CREATE OR REPLACE FUNCTION vorsanit.add_start(
  p_id uuid, p_exam boolean, p_seat_date text, p_seat_time text, p_topic text, p_range text,
  p_code text, p_name text, p_group text, p_host text, p_account text, p_line bytea)
RETURNS boolean LANGUAGE sql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
  WITH added AS (
    INSERT INTO vorsanit.starts (id, exam, seat_date, seat_time, topic, range_text, code, name,
                                 group_name, host, account, line)
    VALUES (coalesce(p_id, md5(p_line)::uuid), p_exam, p_seat_date, p_seat_time, p_topic, p_range,
            p_code, p_name, p_group, p_host, p_account, p_line)
    ON CONFLICT (id, digest) DO NOTHING
    RETURNING true)
  SELECT coalesce((SELECT true FROM added), false)
$$)",
    // Whatever rights were given by hand before are taken back: the seats
    // may use the schema and call the two functions, and nothing else.
    "REVOKE ALL ON SCHEMA vorsanit FROM PUBLIC",
    "REVOKE ALL ON ALL TABLES IN SCHEMA vorsanit FROM PUBLIC, vorsanit_seat",
    "REVOKE ALL ON ALL SEQUENCES IN SCHEMA vorsanit FROM PUBLIC, vorsanit_seat",
    "REVOKE ALL ON ALL FUNCTIONS IN SCHEMA vorsanit FROM PUBLIC, vorsanit_seat",
    "GRANT USAGE ON SCHEMA vorsanit TO vorsanit_seat",
    "GRANT EXECUTE ON FUNCTION vorsanit.add_record(uuid, boolean, text, text, text, text, text, "
    "text, text, integer, integer, integer, text, text, text, text, bytea) TO vorsanit_seat",
    "GRANT EXECUTE ON FUNCTION vorsanit.add_start(uuid, boolean, text, text, text, text, text, "
    "text, text, text, text, bytea) TO vorsanit_seat",
};

// A role that the seats log in through must not carry more than adding rows.
constexpr const char* kSeatRoleCheck =
    "SELECT rolsuper OR rolcreaterole OR rolcreatedb OR rolreplication OR rolbypassrls, "
    "EXISTS (SELECT FROM pg_catalog.pg_auth_members WHERE member = r.oid) "
    "FROM pg_catalog.pg_roles r WHERE rolname = 'vorsanit_seat'";

struct Session {
  PGconn* conn = nullptr;
  ~Session() { PQfinish(conn); }
};

std::optional<std::string> connectForTeacher(const std::string& conninfo, Session& session) {
  if (auto problem = conninfoProblem(conninfo))
    return cp("строка подключения не распознана (") + *problem + ")";
  session.conn = startConnection(conninfo, true, "10");
  if (!session.conn) return cp("нет памяти");
  if (PQstatus(session.conn) != CONNECTION_OK)
    return cp("не удалось подключиться к серверу: ") + firstLine(PQerrorMessage(session.conn));
  return std::nullopt;
}

std::optional<std::string> failed(PGresult* result, const std::string& what) {
  const char* primary = PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY);
  std::string reason = what + firstLine(primary ? primary : PQresultErrorMessage(result));
  if (const char* hint = PQresultErrorField(result, PG_DIAG_MESSAGE_HINT))
    reason += " (" + firstLine(hint) + ")";
  PQclear(result);
  return reason;
}

// A binary column's value as bytes; empty for NULL or a column the result lacks.
std::string bytesAt(const PGresult* result, int row, int column) {
  if (column >= PQnfields(result) || PQgetisnull(result, row, column)) return {};
  return std::string(PQgetvalue(result, row, column),
                     static_cast<std::size_t>(PQgetlength(result, row, column)));
}

}  // namespace

std::optional<std::string> initRecordsDatabase(const std::string& conninfo) {
  Session session;
  if (auto problem = connectForTeacher(conninfo, session)) return problem;
  PGconn* conn = session.conn;
  auto run = [&](const char* sql) -> std::optional<std::string> {
    PGresult* result = PQexec(conn, sql);
    const ExecStatusType status = PQresultStatus(result);
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) {
      PQclear(result);
      return std::nullopt;
    }
    const char* code = PQresultErrorField(result, PG_DIAG_SQLSTATE);
    const bool rights = code && std::string_view(code) == "42501";
    return failed(result, rights ? cp("недостаточно прав (нужен владелец базы; роль vorsanit_seat "
                                      "создаёт тот, у кого есть право CREATEROLE): ")
                                 : cp("сервер отказал: "));
  };
  if (auto problem = run("BEGIN")) return problem;
  // "Already exists, skipping" is what a second run is for, not news.
  if (auto problem = run("SET LOCAL client_min_messages = warning")) return problem;
  for (const char* sql : kSchema)
    if (auto problem = run(sql)) return problem;

  PGresult* check = PQexec(conn, kSeatRoleCheck);
  if (PQresultStatus(check) != PGRES_TUPLES_OK) return failed(check, cp("сервер отказал: "));
  const bool tooStrong = PQntuples(check) == 1 && PQgetvalue(check, 0, 0)[0] == 't';
  const bool member = PQntuples(check) == 1 && PQgetvalue(check, 0, 1)[0] == 't';
  PQclear(check);
  if (tooStrong || member)
    return cp(tooStrong ? "у роли vorsanit_seat есть права сверх добавления записей "
                          "(SUPERUSER, CREATEROLE, CREATEDB, REPLICATION или BYPASSRLS); "
                          "снимите их: ALTER ROLE vorsanit_seat NOSUPERUSER NOCREATEROLE "
                          "NOCREATEDB NOREPLICATION NOBYPASSRLS"
                        : "роль vorsanit_seat входит в другие роли и получает их права; "
                          "исключите её из них (REVOKE роль FROM vorsanit_seat)");
  return run("COMMIT");
}

std::optional<std::string> readServerRows(const std::string& conninfo, bool starts,
                                          const std::function<void(const ServerRow&)>& onRow) {
  Session session;
  if (auto problem = connectForTeacher(conninfo, session)) return problem;
  PGconn* conn = session.conn;
  // The same columns from either table; the payload and whether the test ended differ.
  const std::string columns =
      "SELECT id::text, host, account, coalesce(host(client_addr), ''), "
      "to_char(received_at, 'YYYY-MM-DD HH24:MI:SSOF'), exam, "
      "extract(epoch FROM now() - received_at)::bigint::text, ";
  const std::string sql =
      columns + (starts ? "line, EXISTS (SELECT FROM vorsanit.records r WHERE r.id = s.id) "
                          "FROM vorsanit.starts s ORDER BY received_at, id"
                        : "record, EXISTS (SELECT FROM vorsanit.records o WHERE o.id = r.id "
                          "AND o.digest <> r.digest) FROM vorsanit.records r "
                          "ORDER BY received_at, id");
  // Binary results: texts as their UTF-8 bytes, the payload as it was sent.
  if (!PQsendQueryParams(conn, sql.c_str(), 0, nullptr, nullptr, nullptr, nullptr, 1) ||
      !PQsetSingleRowMode(conn))
    return cp("сервер отказал: ") + firstLine(PQerrorMessage(conn));
  std::optional<std::string> problem;
  ServerRow row;
  while (PGresult* result = PQgetResult(conn)) {
    const ExecStatusType status = PQresultStatus(result);
    if (status == PGRES_SINGLE_TUPLE && !problem) {
      row.id = bytesAt(result, 0, 0);
      row.host = bytesAt(result, 0, 1);
      row.account = bytesAt(result, 0, 2);
      row.address = bytesAt(result, 0, 3);
      row.serverTime = bytesAt(result, 0, 4);
      row.exam = bytesAt(result, 0, 5) == std::string(1, '\1');
      row.ageSeconds = std::atol(bytesAt(result, 0, 6).c_str());
      row.payload = bytesAt(result, 0, 7);
      (starts ? row.finished : row.sharedId) = bytesAt(result, 0, 8) == std::string(1, '\1');
      onRow(row);
    } else if (status != PGRES_SINGLE_TUPLE && status != PGRES_TUPLES_OK && !problem) {
      const char* code = PQresultErrorField(result, PG_DIAG_SQLSTATE);
      const std::string_view sqlstate = code ? code : "";
      problem = failed(result, sqlstate == "42P01" || sqlstate == "3F000"
                                   ? cp("в базе нет таблиц протоколов (vorsanit-results "
                                        "--init-db их создаёт): ")
                               : sqlstate == "42501" ? cp("нет права на чтение протоколов: ")
                                                     : cp("сервер отказал: "));
      continue;
    }
    PQclear(result);
  }
  return problem;
}
