#include "results/output_set.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <random>

#include "platform/text_file.h"

namespace {

// The temporaries to remove on a signal: names within the folders, kept in
// fixed storage so that the handler needs nothing but unlinkat().
constexpr std::size_t kMostPending = 16, kLongestName = 256;
struct Pending {
  std::atomic<int> dir{-1};
  char name[kLongestName];
};
std::array<Pending, kMostPending> pending;

int remember(int dir, const std::string& name) {
  if (name.size() >= kLongestName) return -1;
  for (std::size_t k = 0; k < pending.size(); ++k) {
    if (pending[k].dir.load() != -1) continue;
    std::memcpy(pending[k].name, name.c_str(), name.size() + 1);
    pending[k].dir.store(dir);
    return static_cast<int>(k);
  }
  return -1;
}

void forget(int slot) {
  if (slot >= 0) pending[static_cast<std::size_t>(slot)].dir.store(-1);
}

extern "C" void removePending(int signal) {
  for (Pending& p : pending) {
    const int dir = p.dir.exchange(-1);
    if (dir != -1) ::unlinkat(dir, p.name, 0);
  }
  ::signal(signal, SIG_DFL);
  ::raise(signal);
}

constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::size_t kSuffixLength = 10;

std::string randomSuffix() {
  static std::mt19937_64 random{std::random_device{}()};
  std::string s(kSuffixLength, ' ');
  for (char& c : s) c = kLetters[random() % (sizeof kLetters - 1)];
  return s;
}

}  // namespace

struct OutputSet::File {
  std::string name, temporary;
  int fd = -1;
  int slot = -1;
  std::string buffer;
  bool renamed = false;
};

void removeOutputsOnSignals() {
  for (int s : {SIGINT, SIGTERM, SIGHUP}) ::signal(s, removePending);
}

OutputSet::OutputSet() = default;

OutputSet::~OutputSet() {
  abandon();
  if (dir_ >= 0) ::close(dir_);
}

bool OutputSet::fail(int code, const std::string& path) {
  if (failureCode_ == 0) {
    failureCode_ = code;
    failurePath_ = path;
  }
  return false;
}

bool OutputSet::open(const std::string& folder, bool readableByAll) {
  folder_ = folder.empty() ? "." : folder;
  // "results/" and "results/." name the folder "results" itself: the link
  // check below must see its last part.
  for (;;) {
    if (folder_.size() > 1 && folder_.back() == '/')
      folder_.pop_back();
    else if (folder_.size() > 2 && folder_.ends_with("/."))
      folder_.resize(folder_.size() - 2);
    else
      break;
  }
  fileMode_ = readableByAll ? 0644 : 0600;
  // Made when missing, one level at a time, as mkdir -p does.
  for (std::size_t at = 1; at <= folder_.size(); ++at) {
    if (at < folder_.size() && folder_[at] != '/') continue;
    const std::string part = folder_.substr(0, at);
    if (::mkdir(part.c_str(), readableByAll ? 0755 : 0700) != 0 && errno != EEXIST)
      return fail(errno, part);
  }
  dir_ = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  struct stat info {};
  if (dir_ < 0) {
    const int e = errno;
    if ((e == ELOOP || e == ENOTDIR) && ::lstat(folder_.c_str(), &info) == 0 &&
        S_ISLNK(info.st_mode)) {
      refusal_ = "это символическая ссылка; назовите саму папку.";
      return false;
    }
    return fail(e, folder_);
  }
  // Judged on the folder opened, so that it cannot be swapped after the check.
  if (::fstat(dir_, &info) != 0) return fail(errno, folder_);
  if (info.st_uid != ::geteuid()) {
    const passwd* owner = ::getpwuid(info.st_uid);
    refusal_ = "папка принадлежит не вам (владелец — " +
               (owner ? std::string(owner->pw_name) : std::to_string(info.st_uid)) + ").";
  } else if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(info.st_mode & 07777));
    refusal_ = std::string("в папку могут писать и другие (права ") + mode + ").";
  }
  if (!refusal_.empty()) {
    ::close(dir_);
    dir_ = -1;
    return false;
  }
  return true;
}

int OutputSet::add(const std::string& name) {
  auto f = std::make_unique<File>();
  f->name = name;
  const std::string path = folder_ + '/' + name;
  for (int attempt = 0; attempt < 100 && f->fd < 0; ++attempt) {
    f->temporary = '.' + name + '.' + randomSuffix();
    f->fd = ::openat(dir_, f->temporary.c_str(),
                     O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, fileMode_);
    if (f->fd < 0 && errno != EEXIST) {
      fail(errno, path);
      return -1;
    }
  }
  if (f->fd < 0) {
    fail(EEXIST, path);
    return -1;
  }
  f->slot = remember(dir_, f->temporary);
  files_.push_back(std::move(f));
  return static_cast<int>(files_.size() - 1);
}

bool OutputSet::flush(File& f) {
  const int error = writeWhole(f.fd, f.buffer);
  f.buffer.clear();
  return error == 0 || fail(error, folder_ + '/' + f.name);
}

bool OutputSet::write(int file, std::string_view bytes) {
  if (failureCode_ != 0 || file < 0) return false;
  File& f = *files_[static_cast<std::size_t>(file)];
  f.buffer += bytes;
  return f.buffer.size() < 256 * 1024 || flush(f);
}

bool OutputSet::commit() {
  for (auto& f : files_) {
    if (failureCode_ != 0) break;
    if (!flush(*f)) break;
    if (::fsync(f->fd) != 0 && errno != EINVAL) fail(errno, folder_ + '/' + f->name);
    if (::close(f->fd) != 0 && failureCode_ == 0) fail(errno, folder_ + '/' + f->name);
    f->fd = -1;
  }
  if (failureCode_ != 0) {
    abandon();
    return false;
  }
  for (auto& f : files_) {
    if (::renameat(dir_, f->temporary.c_str(), dir_, f->name.c_str()) != 0) {
      fail(errno, folder_ + '/' + f->name);
      abandon();
      return false;
    }
    f->renamed = true;
    forget(f->slot);
  }
  ::fsync(dir_);
  removeStaleTemporaries();
  return true;
}

bool OutputSet::isTemporaryOf(std::string_view entry, const std::string& name) {
  if (entry.size() != name.size() + 2 + kSuffixLength || entry[0] != '.' ||
      entry.substr(1, name.size()) != name || entry[name.size() + 1] != '.')
    return false;
  return std::all_of(entry.end() - kSuffixLength, entry.end(),
                     [](char c) { return std::strchr(kLetters, c) != nullptr; });
}

void OutputSet::removeStaleTemporaries() const {
  const int listing = ::openat(dir_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (listing < 0) return;
  DIR* entries = ::fdopendir(listing);
  if (!entries) {
    ::close(listing);
    return;
  }
  // A run takes seconds: a day-old temporary is nobody's any more.
  const std::time_t dayAgo = std::time(nullptr) - 24 * 60 * 60;
  std::vector<std::string> stale;
  while (const dirent* entry = ::readdir(entries)) {
    const std::string_view entryName = entry->d_name;
    if (std::none_of(files_.begin(), files_.end(),
                     [&](const auto& f) { return isTemporaryOf(entryName, f->name); }))
      continue;
    struct stat info {};
    if (::fstatat(dir_, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode) &&
        info.st_uid == ::geteuid() && info.st_mtime < dayAgo)
      stale.emplace_back(entryName);
  }
  ::closedir(entries);
  for (const std::string& name : stale) ::unlinkat(dir_, name.c_str(), 0);
}

void OutputSet::abandon() {
  for (auto& f : files_) {
    if (f->fd >= 0) ::close(f->fd);
    f->fd = -1;
    if (!f->renamed) ::unlinkat(dir_, f->temporary.c_str(), 0);
    forget(f->slot);
    f->renamed = true;  // nothing more to remove
  }
}

std::vector<std::string> OutputSet::targets() const {
  std::vector<std::string> out;
  for (const auto& f : files_) out.push_back(folder_ + '/' + f->name);
  return out;
}

std::string OutputSet::pathForLibrary(int file) const {
  return "/proc/self/fd/" + std::to_string(files_[static_cast<std::size_t>(file)]->fd);
}

std::string OutputSet::folderForLibrary() const { return "/proc/self/fd/" + std::to_string(dir_); }

bool OutputSet::identity(const std::string& name, unsigned long& device,
                         unsigned long& inode) const {
  struct stat info {};
  if (::fstatat(dir_, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return false;
  device = info.st_dev;
  inode = info.st_ino;
  return true;
}
