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

}  // namespace

std::uint64_t StartMarks::series(bool exam, std::string_view topic, std::string_view code,
                                 std::string_view name, std::string_view group, long day) {
  text_.assign(1, exam ? 'e' : 'p');
  for (std::string_view part : {topic, code, name, group}) {
    appendMatchKey(text_, part);
    text_ += '\0';
  }
  text_.append(reinterpret_cast<const char*>(&day), sizeof day);
  return std::hash<std::string_view>{}(text_) & ~kSecondMask;
}

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

void StartMarks::add(const StartMark& m) {
  if (const auto at = moment(m.date, m.time))
    keys_.push_back(series(m.exam, m.topic, m.code, m.name, m.group, at->day) |
                    static_cast<std::uint64_t>(at->second));
}

void StartMarks::sort() {
  std::sort(keys_.begin(), keys_.end());
  answered_.assign(keys_.size(), false);
  seen_.assign(keys_.size(), false);
}

void StartMarks::answer(const LogRecord& record) {
  const ReportValues& r = record.values;
  const auto at = moment(r.date, r.time);
  if (!at) return;
  // When the test began by its own count, in seconds from the record's midnight.
  const long began = at->second - record.seconds;
  std::size_t best = keys_.size();
  long bestDistance = 0;
  // The window may begin on the day before.
  for (long day : {at->day - 1, at->day}) {
    const long shift = day == at->day ? 0 : kDaySeconds;
    const long first = std::max(0L, at->second - kWindow + shift);
    const long last = std::min(kDaySeconds - 1, at->second + shift);
    if (first > last) continue;
    const std::uint64_t base = series(r.exam, r.topic, r.code, r.name, r.group, day);
    // The window holds a few marks at most: they follow the first one in turn.
    const std::uint64_t end = base | static_cast<std::uint64_t>(last);
    for (auto k =
             std::lower_bound(keys_.begin(), keys_.end(), base | static_cast<std::uint64_t>(first));
         k != keys_.end() && *k <= end; ++k) {
      const auto i = static_cast<std::size_t>(k - keys_.begin());
      if (answered_[i]) continue;
      const long distance = std::labs(static_cast<long>(*k & kSecondMask) - shift - began);
      if (best == keys_.size() || distance <= bestDistance) {  // the later of two as near
        best = i;
        bestDistance = distance;
      }
    }
  }
  if (best < keys_.size()) answered_[best] = true;
}

bool StartMarks::answered(const StartMark& m) {
  const auto at = moment(m.date, m.time);
  if (!at) return true;
  const std::uint64_t key = series(m.exam, m.topic, m.code, m.name, m.group, at->day) |
                            static_cast<std::uint64_t>(at->second);
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
