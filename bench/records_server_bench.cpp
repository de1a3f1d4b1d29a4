// Seats sending their records to the records server through their outboxes,
// as the program does: 100 seats of 50 records each with the server
// restarted in the middle, and thirty seats finishing at the same moment.
// Every record must arrive exactly once (the counters `lost` and `doubled`
// stay 0); the first also gives the throughput and how long the outboxes took
// to drain once the server was back.
//
// Run it through bench/records_server_bench.sh, which starts a server of its own.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <latch>
#include <thread>
#include <vector>

#include "exam/outbox.h"
#include "exam/records_server.h"
#include "exam/report.h"
#include "exam/server_courier.h"
#include "platform/cp1251.h"
#include "support/test_database.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Setup {
  TestDatabase db{"bench"};
  std::string seat;
  fs::path outboxes = fs::temp_directory_path() / ("vorsanit-seats-" + std::to_string(::getpid()));
  Setup() {
    if (!db.ready()) return;
    if (const auto problem = initRecordsDatabase(db.conninfo())) {
      std::fprintf(stderr, "%s\n", utf8FromCp1251(*problem).c_str());
      std::exit(1);
    }
    seat = db.seatConninfo();
  }
  ~Setup() { fs::remove_all(outboxes); }
};

Setup& setup() {
  static Setup s;
  return s;
}

int runNumber = 0;

// Ids of one run: run, seat and record number in the UUID's last group.
std::string idOf(int run, int seat, int n) {
  char id[64];
  std::snprintf(id, sizeof id, "00000000-0000-4000-8000-%04d%04d%04d", run, seat, n);
  return id;
}

OutboxEntry entryOf(int run, int seat, int n) {
  TestResults r;
  r.DrawCount = 40;
  r.AnswerCount = 10;
  for (std::size_t k = 0; k < 10; ++k) {
    r.AskedQuestions[k] = static_cast<std::uint16_t>((seat + n + k) % 40 + 1);
    r.ChosenOptions[k] = static_cast<std::uint16_t>(k % 4 + 1);
    r.AnswerResults[k] = (seat + k) % 5 != 0;
  }
  r.ErrorCount = 2;
  r.ElapsedSeconds = 300 + n;
  const ReportInput input{true,
                          "05.03.2024",
                          "07:08:09",
                          cp("Кандидат ") + std::to_string(seat) + "-" + std::to_string(n),
                          std::to_string(n),
                          cp("Группа ") + std::to_string(seat / 25),
                          cp("Тема 1"),
                          1,
                          40};
  return {"record",
          "server",
          idOf(run, seat, n),
          "seat-" + std::to_string(seat),
          "pupil",
          true,
          0,
          makeRecord(makeReportValues(input, r, evaluate(r, true)))};
}

std::string folderOf(int seat) {
  return (setup().outboxes / ("seat-" + std::to_string(seat))).string() + "/";
}

std::size_t waiting(int seats) {
  std::size_t n = 0;
  for (int s = 0; s < seats; ++s) n += readOutbox(folderOf(s)).size();
  return n;
}

// Rows of the run on the server, and how many distinct ids they have.
std::pair<long, long> arrived(int run) {
  std::vector<std::vector<std::string>> rows;
  const std::string error = TestDatabase::query(
      setup().db.conninfo(),
      "SELECT count(*), count(DISTINCT id) FROM vorsanit.records WHERE id::text LIKE "
      "'00000000-0000-4000-8000-" +
          std::to_string(10000 + run).substr(1) + "%'",
      rows);
  if (!error.empty() || rows.size() != 1) return {-1, -1};
  return {std::stol(rows[0][0]), std::stol(rows[0][1])};
}

void BM_HundredSeatsThroughARestart(benchmark::State& state) {
  constexpr int kSeats = 100, kRecords = 50;
  const char* restart = std::getenv("VORS_BENCH_RESTART");
  if (!setup().db.ready() || !restart) {
    state.SkipWithError("run it through bench/records_server_bench.sh");
    return;
  }
  double seconds = 0, drainMs = 0, upAfterMs = 0, sentAfterMs = 0;
  long lost = 0, doubled = 0;
  std::size_t leftByOutage = 0;
  for (auto _ : state) {
    const int run = ++runNumber;
    std::atomic<int> produced = 0;
    Clock::time_point up;
    const auto started = Clock::now();
    // Halfway through, the server goes away for a second and comes back.
    std::thread restarter([&] {
      while (produced < kSeats * kRecords / 2)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      if (std::system(restart) != 0) std::fprintf(stderr, "the restart failed\n");
      up = Clock::now();
    });
    std::vector<std::thread> seats;
    for (int s = 0; s < kSeats; ++s)
      seats.emplace_back([&, s] {
        for (int n = 0; n < kRecords; ++n) {
          (void)putInOutbox(folderOf(s), entryOf(run, s, n));
          ++produced;
          deliverToServer(folderOf(s), setup().seat);
        }
      });
    for (auto& t : seats) t.join();
    restarter.join();
    const auto sent = Clock::now();
    leftByOutage = waiting(kSeats);
    // What is still waiting goes at each seat's next start.
    seats.clear();
    for (int s = 0; s < kSeats; ++s)
      seats.emplace_back([s] {
        while (!readOutbox(folderOf(s)).empty()) deliverToServer(folderOf(s), setup().seat);
      });
    for (auto& t : seats) t.join();
    const auto drained = Clock::now();
    seconds = std::chrono::duration<double>(drained - started).count();
    // From the moment both the server was back and every seat had finished.
    drainMs = std::chrono::duration<double, std::milli>(drained - std::max(sent, up)).count();
    upAfterMs = std::chrono::duration<double, std::milli>(up - started).count();
    sentAfterMs = std::chrono::duration<double, std::milli>(sent - started).count();
    const auto [rows, distinct] = arrived(run);
    lost = kSeats * kRecords - distinct;
    doubled = rows - distinct;
    state.SetIterationTime(seconds);
  }
  state.counters["records"] = kSeats * kRecords;
  state.counters["records_per_s"] = kSeats * kRecords / seconds;
  state.counters["waiting_after_outage"] = static_cast<double>(leftByOutage);
  state.counters["server_back_at_ms"] = upAfterMs;
  state.counters["seats_done_at_ms"] = sentAfterMs;
  state.counters["drain_ms"] = drainMs;
  state.counters["lost"] = static_cast<double>(lost);
  state.counters["doubled"] = static_cast<double>(doubled);
}
BENCHMARK(BM_HundredSeatsThroughARestart)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_ThirtySeatsAtOnce(benchmark::State& state) {
  constexpr int kSeats = 30;
  if (!setup().db.ready()) {
    state.SkipWithError("run it through bench/records_server_bench.sh");
    return;
  }
  long lost = 0, doubled = 0, rounds = 0;
  double slowestMs = 0;
  for (auto _ : state) {
    const int run = ++runNumber;
    std::latch ready(kSeats + 1);
    std::vector<std::thread> seats;
    std::vector<double> tookMs(kSeats);
    for (int s = 0; s < kSeats; ++s)
      seats.emplace_back([&, s] {
        ready.arrive_and_wait();
        const auto from = Clock::now();
        (void)putInOutbox(folderOf(s), entryOf(run, s, 0));
        deliverToServer(folderOf(s), setup().seat);
        tookMs[s] = std::chrono::duration<double, std::milli>(Clock::now() - from).count();
      });
    const auto started = Clock::now();
    ready.arrive_and_wait();
    for (auto& t : seats) t.join();
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - started).count());
    for (double ms : tookMs) slowestMs = std::max(slowestMs, ms);
    const auto [rows, distinct] = arrived(run);
    lost += kSeats - distinct + static_cast<long>(waiting(kSeats));
    doubled += rows - distinct;
    ++rounds;
  }
  state.counters["rounds"] = static_cast<double>(rounds);
  state.counters["slowest_seat_ms"] = slowestMs;
  state.counters["lost"] = static_cast<double>(lost);
  state.counters["doubled"] = static_cast<double>(doubled);
}
BENCHMARK(BM_ThirtySeatsAtOnce)->Iterations(20)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
