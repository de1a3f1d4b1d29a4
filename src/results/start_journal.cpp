#include "results/start_journal.h"

#include <algorithm>
#include <string>

#include "exam/test_session.h"
#include "results/analysis.h"
#include "results/record_check.h"

namespace {

constexpr long kDaySeconds = 24 * 60 * 60;
// The second of the day takes the low bits of a key (86,400 < 2^17), the
// series hash the 47 above them: a false match needs another candidate's
// series of the same day with equal 47 bits and a mark within minutes.
constexpr int kSecondBits = 17;
constexpr std::uint64_t kSecondMask = (std::uint64_t{1} << kSecondBits) - 1;
constexpr long kWindow = kTimeLimitSeconds + kMarkSlackSeconds;

// The candidate, mode and topic of a test on one day.
std::uint64_t series(bool exam, std::string_view topic, std::string_view code,
                     std::string_view name, std::string_view group, long day) {
  std::string text(1, exam ? 'e' : 'p');
  for (std::string_view part : {topic, code, name, group}) text += matchKey(part) + '\0';
  text.append(reinterpret_cast<const char*>(&day), sizeof day);
  return std::hash<std::string>{}(text) & ~kSecondMask;
}

struct Moment {
  long day;
  int second;
};

std::optional<Moment> moment(std::string_view date, std::string_view time) {
  const auto day = civilDay(date);
  const auto second = secondOfDay(time);
  if (!day || !second) return std::nullopt;
  return Moment{*day, *second};
}

std::uint64_t keyOf(const StartMark& m, const Moment& at) {
  return series(m.exam, m.topic, m.code, m.name, m.group, at.day) |
         static_cast<std::uint64_t>(at.second);
}

}  // namespace

std::optional<long long> momentOf(std::string_view date, std::string_view time) {
  const auto at = moment(date, time);
  if (!at) return std::nullopt;
  return static_cast<long long>(at->day) * kDaySeconds + at->second;
}

int readJournal(const ByteSource& source,
                const std::function<void(const StartMark&, std::size_t)>& onMark,
                const std::function<void(std::size_t)>& onBadLine) {
  return readLines(source, [&](std::string_view line, std::size_t number, bool cut) {
    if (line.find_first_not_of(' ') == std::string_view::npos) return;
    const auto mark = cut ? std::nullopt : parseStartMark(line);
    if (mark && moment(mark->date, mark->time))
      onMark(*mark, number);
    else
      onBadLine(number);
  });
}

void StartMarks::add(const StartMark& mark) {
  if (const auto at = moment(mark.date, mark.time)) keys_.push_back(keyOf(mark, *at));
}

void StartMarks::sort() {
  std::sort(keys_.begin(), keys_.end());
  answered_.assign(keys_.size(), false);
  seen_.assign(keys_.size(), false);
}

void StartMarks::answer(const ReportValues& r) {
  const auto at = moment(r.date, r.time);
  if (!at) return;
  // The window may begin on the day before.
  for (long day : {at->day, at->day - 1}) {
    const long last = day == at->day ? at->second : kDaySeconds - 1;
    const long first = at->second - kWindow + (day == at->day ? 0 : kDaySeconds);
    if (first > last) break;
    const std::uint64_t base = series(r.exam, r.topic, r.code, r.name, r.group, day);
    const auto from = std::lower_bound(keys_.begin(), keys_.end(),
                                       base | static_cast<std::uint64_t>(std::max(0L, first)));
    auto k = std::upper_bound(from, keys_.end(), base | static_cast<std::uint64_t>(last));
    while (k != from) {
      const auto i = static_cast<std::size_t>(--k - keys_.begin());
      if (!answered_[i]) {
        answered_[i] = true;
        return;
      }
    }
  }
}

bool StartMarks::answered(const StartMark& mark) {
  const auto at = moment(mark.date, mark.time);
  if (!at) return true;
  const std::uint64_t key = keyOf(mark, *at);
  // Marks with equal keys are told apart by the order they are met in.
  const auto [from, to] = std::equal_range(keys_.begin(), keys_.end(), key);
  for (auto k = from; k != to; ++k) {
    const auto i = static_cast<std::size_t>(k - keys_.begin());
    if (seen_[i]) continue;
    seen_[i] = true;
    return answered_[i];
  }
  return true;  // not met in the first reading
}
