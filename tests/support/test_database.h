#pragma once
// A database of its own on the tests' PostgreSQL server (records_server.sh,
// started by CTest before the tests that need it), made fresh for each test
// program, with its owner's connection and seat users as the guide makes them.
#include <libpq-fe.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

class TestDatabase {
 public:
  // The server's connection string, or empty when the tests run without CTest.
  static std::string serverConninfo() {
    const char* state = std::getenv("VORS_TEST_SERVER");
    std::string line;
    if (state) {
      std::ifstream file(state);
      std::getline(file, line);
    }
    return line;
  }

  // A new database named after the test program and its process.
  explicit TestDatabase(const std::string& label) {
    server_ = serverConninfo();
    if (server_.empty()) return;
    name_ = "t_" + label + "_" + std::to_string(::getpid());
    error_ = exec(server_, "CREATE DATABASE " + name_);
  }

  bool ready() const { return !server_.empty() && error_.empty(); }
  const std::string& error() const { return error_; }
  const std::string& name() const { return name_; }

  // The owner's (the server's superuser) connection to this database.
  std::string conninfo() const { return server_ + " dbname=" + name_; }
  // A seat user's: made on first use, a member of vorsanit_seat and of nothing else.
  std::string seatConninfo(const std::string& user = "seat") {
    const std::string role = name_ + "_" + user;
    exec(conninfo(), "CREATE ROLE " + role + " LOGIN IN ROLE vorsanit_seat");
    return server_ + " dbname=" + name_ + " user=" + role;
  }

  // Runs SQL; the server's message, or empty when it went through.
  static std::string exec(const std::string& conninfo, const std::string& sql) {
    std::vector<std::vector<std::string>> rows;
    return query(conninfo, sql, rows);
  }
  // Runs a query; the rows as texts (NULL as "<null>"), or the server's message.
  static std::string query(const std::string& conninfo, const std::string& sql,
                           std::vector<std::vector<std::string>>& rows) {
    PGconn* conn = PQconnectdb(conninfo.c_str());
    std::string error;
    if (PQstatus(conn) != CONNECTION_OK) {
      error = PQerrorMessage(conn);
    } else {
      PGresult* result = PQexec(conn, sql.c_str());
      const ExecStatusType status = PQresultStatus(result);
      if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        error = PQresultErrorMessage(result);
      } else {
        for (int r = 0; r < PQntuples(result); ++r) {
          rows.emplace_back();
          for (int c = 0; c < PQnfields(result); ++c)
            rows.back().push_back(PQgetisnull(result, r, c) ? "<null>" : PQgetvalue(result, r, c));
        }
      }
      PQclear(result);
    }
    PQfinish(conn);
    return error;
  }

 private:
  std::string server_, name_, error_;
};
