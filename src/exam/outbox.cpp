#include "exam/outbox.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <stdio.h>
#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "platform/text_file.h"

namespace {

constexpr std::string_view kMagic = "VORSANIT-OUTBOX 1\n";
constexpr std::string_view kSuffix = ".entry";
constexpr std::string_view kTemporary = ".tmp-";
// Far beyond any record: a larger file under an entry's name is not ours.
constexpr off_t kMaxEntryBytes = 1 << 20;

AppendFailure failure(int code) { return {code, failureReason(code)}; }

// Values go on one header line each: line ends, other control characters and
// the escape character itself are written as %XX.
std::string escaped(std::string_view value) {
  static const char* const kHex = "0123456789ABCDEF";
  std::string out;
  for (const char ch : value) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7F || c == '%') {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0x0F];
    } else {
      out += ch;
    }
  }
  return out;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::optional<std::string> unescaped(std::string_view value) {
  std::string out;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '%') {
      out += value[i];
      continue;
    }
    if (i + 2 >= value.size()) return std::nullopt;
    const int high = hexDigit(value[i + 1]), low = hexDigit(value[i + 2]);
    if (high < 0 || low < 0) return std::nullopt;
    out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return out;
}

std::optional<std::uint64_t> number(std::string_view text) {
  if (text.empty() || text.size() > 19) return std::nullopt;
  std::uint64_t n = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return n;
}

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string homeFolder() {
  if (std::string home = environment("HOME"); !home.empty()) return home;
  if (const struct passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir)
    return entry->pw_dir;
  return "/tmp";
}

void syncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  if (::fsync(fd) != 0) {
    // The rename stands in any case; only a power cut could still undo it.
  }
  ::close(fd);
}

// Makes the folder and the missing ones above it, private to the account, and
// accepts an existing one only when it is a real folder of the account's.
std::optional<AppendFailure> ensureFolder(const std::string& folder) {
  std::string path;
  for (std::size_t from = 0; from < folder.size();) {
    const std::size_t slash = folder.find('/', from + 1);
    path = folder.substr(0, slash == std::string::npos ? folder.size() : slash);
    from = slash == std::string::npos ? folder.size() : slash;
    if (path.empty() || path == "/") continue;
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return failure(errno);
  }
  // A trailing '/' would make lstat follow a link.
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) return failure(errno);
  if (!S_ISDIR(info.st_mode) || info.st_uid != ::getuid()) return failure(EACCES);
  if ((info.st_mode & 077) != 0 && ::chmod(path.c_str(), 0700) != 0) return failure(errno);
  return std::nullopt;
}

// The entry's name: the time and a count of this program's entries first, so
// that names sort in the order the entries were made.
std::string fileNameFor(const OutboxEntry& entry, unsigned sequence) {
  static const long long pid = ::getpid();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::system_clock::now().time_since_epoch())
                      .count();
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "%015lld-%06u-%lld", static_cast<long long>(ms), sequence,
                pid);
  std::string id;
  for (const char c : entry.id)
    id += (std::isalnum(static_cast<unsigned char>(c)) || c == '-') ? c : '_';
  return std::string(stamp) + "-" + id + "-" + entry.kind + "-" +
         (entry.target == "server" ? "server" : "file") + std::string(kSuffix);
}

}  // namespace

std::string defaultOutboxFolder() {
  std::string state = environment("XDG_STATE_HOME");
  if (state.empty() || state.front() != '/') state = homeFolder() + "/.local/state";
  while (state.size() > 1 && state.back() == '/') state.pop_back();
  return state + "/vorsanit/outbox/";
}

std::string serializeEntry(const OutboxEntry& e) {
  std::string out(kMagic);
  out += "kind=" + escaped(e.kind) + "\n";
  out += "target=" + escaped(e.target) + "\n";
  out += "id=" + escaped(e.id) + "\n";
  out += "host=" + escaped(e.host) + "\n";
  out += "account=" + escaped(e.account) + "\n";
  out += std::string("exam=") + (e.exam ? "1" : "0") + "\n";
  out += "since=" + std::to_string(e.since) + "\n";
  out += "size=" + std::to_string(e.payload.size()) + "\n\n";
  return out + e.payload;
}

std::optional<OutboxEntry> parseEntry(std::string_view bytes) {
  if (bytes.substr(0, kMagic.size()) != kMagic) return std::nullopt;
  std::size_t pos = kMagic.size();
  OutboxEntry e;
  std::optional<std::uint64_t> size;
  for (;;) {
    const std::size_t end = bytes.find('\n', pos);
    if (end == std::string_view::npos) return std::nullopt;
    const std::string_view line = bytes.substr(pos, end - pos);
    pos = end + 1;
    if (line.empty()) break;
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    const std::string_view key = line.substr(0, eq);
    const auto value = unescaped(line.substr(eq + 1));
    if (!value) return std::nullopt;
    if (key == "kind") {
      e.kind = *value;
    } else if (key == "target") {
      e.target = *value;
    } else if (key == "id") {
      e.id = *value;
    } else if (key == "host") {
      e.host = *value;
    } else if (key == "account") {
      e.account = *value;
    } else if (key == "exam") {
      if (*value != "0" && *value != "1") return std::nullopt;
      e.exam = *value == "1";
    } else if (key == "since") {
      const auto n = number(*value);
      if (!n) return std::nullopt;
      e.since = *n;
    } else if (key == "size") {
      size = number(*value);
      if (!size) return std::nullopt;
    }  // a key a later version adds is passed over
  }
  if ((e.kind != "record" && e.kind != "start") || e.target.empty() || !size ||
      *size != bytes.size() - pos)
    return std::nullopt;
  e.payload = std::string(bytes.substr(pos));
  return e;
}

Expected<std::string, AppendFailure> putInOutbox(const std::string& folder,
                                                 const OutboxEntry& entry) {
  if (auto failed = ensureFolder(folder)) return Unexpected{*failed};
  std::string temporary = folder + std::string(kTemporary) + "XXXXXX";
  const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) return Unexpected{failure(errno)};
  int error = 0;
  error = writeWhole(fd, serializeEntry(entry));
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  // Never over another entry: a name already taken gets the next count.
  static std::atomic<unsigned> sequence = 0;
  std::string file;
  while (error == 0) {
    file = folder + fileNameFor(entry, ++sequence);
    if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, file.c_str(), RENAME_NOREPLACE) == 0)
      break;
    // A file system without that kind of rename (NFS, say) still refuses a second link.
    if (errno == EINVAL && ::link(temporary.c_str(), file.c_str()) == 0) {
      ::unlink(temporary.c_str());
      break;
    }
    if (errno != EEXIST) error = errno;
  }
  if (error != 0) {
    ::unlink(temporary.c_str());
    return Unexpected{failure(error)};
  }
  syncFolder(folder);
  return file;
}

std::vector<OutboxItem> readOutbox(const std::string& folder) {
  std::vector<OutboxItem> items;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return items;
  std::vector<std::string> names;
  const auto now = std::time(nullptr);
  while (const dirent* found = ::readdir(dir)) {
    const std::string name = found->d_name;
    if (name.size() > kSuffix.size() && name.front() != '.' &&
        name.compare(name.size() - kSuffix.size(), kSuffix.size(), kSuffix) == 0) {
      names.push_back(name);
    } else if (name.rfind(kTemporary, 0) == 0) {
      // A temporary that a program ended in mid-write left behind a day ago.
      struct stat info {};
      if (::lstat((folder + name).c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
          info.st_uid == ::getuid() && now - info.st_mtime > 24 * 3600)
        ::unlink((folder + name).c_str());
    }
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) {
    const std::string file = folder + name;
    const int fd = ::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat info {};
    std::string bytes;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::getuid() &&
        info.st_size <= kMaxEntryBytes) {
      bytes.resize(static_cast<std::size_t>(info.st_size));
      std::size_t got = 0;
      while (got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
      }
      bytes.resize(got);
    }
    ::close(fd);
    if (auto entry = parseEntry(bytes)) items.push_back({file, std::move(*entry)});
  }
  return items;
}

void copyForServer(const std::string& folder) {
  const std::vector<OutboxItem> items = readOutbox(folder);
  for (const OutboxItem& item : items) {
    if (item.entry.target == "server") continue;
    OutboxEntry copy = item.entry;
    copy.target = "server";
    copy.since = 0;
    if (std::none_of(items.begin(), items.end(),
                     [&](const OutboxItem& other) { return other.entry == copy; }))
      (void)putInOutbox(folder, copy);
  }
}

std::optional<AppendFailure> LogCourier::deliver(const OutboxEntry& entry) {
  if (entry.target.empty() || entry.target.front() != '/') return failure(EINVAL);
  return appendRecord(entry.target, entry.payload, {LockWait::Try, entry.since});
}

void removeFromOutbox(const std::string& file) {
  if (::unlink(file.c_str()) == 0) syncFolder(file.substr(0, file.rfind('/') + 1));
}

DeliverySummary deliverOutbox(const std::string& folder, Courier& files, Courier* server) {
  DeliverySummary summary;
  for (OutboxItem& item : readOutbox(folder)) {
    Courier* courier = item.entry.target == "server" ? server : &files;
    std::optional<AppendFailure> failed =
        courier ? courier->deliver(item.entry) : std::optional<AppendFailure>(failure(ENOTCONN));
    if (failed) {
      summary.left.emplace_back(std::move(item), std::move(*failed));
    } else {
      removeFromOutbox(item.file);
      ++summary.delivered;
    }
  }
  return summary;
}
