#include "exam/protocol_log.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <functional>
#include <vector>

#include "platform/cp1251.h"
#include "platform/text_file.h"

namespace {

// Closes the descriptor, and with it the lock, on every way out.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

AppendFailure failure(int code) { return {code, failureReason(code)}; }

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// A new log takes the folder's group (where the account belongs to it) and
// its group's write access, whatever the umask, so that a class sharing the
// folder can go on appending. Nothing here is worth failing the record for.
void shareLikeFolder(int fd, const std::string& path) {
  struct stat folder {};
  if (::stat(folderOf(path).c_str(), &folder) != 0) return;
  struct stat file {};
  if (::fstat(fd, &file) == 0 && file.st_gid != folder.st_gid &&
      ::fchown(fd, static_cast<uid_t>(-1), folder.st_gid) != 0) {
    // Not a member of the folder's group: the log keeps the account's group.
  }
  const mode_t mode = (folder.st_mode & S_IWGRP) ? 0664 : 0644;
  if (::fchmod(fd, mode) != 0) {
    // The file is ours and was just made; a refusal leaves the umask's mode.
  }
}

// Whether the file at path, the same file as the one open as fd, holds record
// at or after offset from. A log that cannot be read is taken not to hold it.
bool holdsRecord(int fd, const std::string& path, std::uint64_t from, std::string_view record) {
  struct stat info {};
  if (record.empty() || ::fstat(fd, &info) != 0) return false;
  const auto size = static_cast<std::uint64_t>(info.st_size);
  if (from > size) from = 0;  // the log was emptied meanwhile: look at all of it
  Descriptor reader(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  struct stat same {};
  if (reader.get() < 0 || ::fstat(reader.get(), &same) != 0 || same.st_dev != info.st_dev ||
      same.st_ino != info.st_ino)
    return false;
  // Read in blocks that overlap by the record's length less one, so that a
  // record across a block's end is still found.
  const std::size_t block = std::max<std::size_t>(1 << 16, record.size() * 2);
  std::vector<char> buffer(block);
  std::size_t kept = 0;
  std::uint64_t at = from;
  const std::boyer_moore_horspool_searcher searcher(record.begin(), record.end());
  while (at < size) {
    const ssize_t n =
        ::pread(reader.get(), buffer.data() + kept, block - kept, static_cast<off_t>(at));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    at += static_cast<std::uint64_t>(n);
    const std::size_t filled = kept + static_cast<std::size_t>(n);
    if (std::search(buffer.data(), buffer.data() + filled, searcher) != buffer.data() + filled)
      return true;
    kept = std::min(filled, record.size() - 1);
    std::copy(buffer.data() + filled - kept, buffer.data() + filled, buffer.data());
  }
  return false;
}

}  // namespace

std::uint64_t logSize(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return 0;
  return static_cast<std::uint64_t>(info.st_size);
}

std::string failureReason(int code) {
  switch (code) {
    case EACCES:
    case EPERM:
      return cp("нет права на запись");
    case EROFS:
      return cp("диск доступен только для чтения");
    case ENOSPC:
    case EDQUOT:
      return cp("нет места на диске");
    case EISDIR:
      return cp("под этим именем находится папка");
    case ENOENT:
    case ENOTDIR:
      return cp("папка не найдена");
    case EFBIG:
      return cp("превышен допустимый размер файла");
    case ENXIO:
      return cp("это не обычный файл");
    case ELOOP:
      return cp("это ссылка, которая никуда не ведёт");
    case EWOULDBLOCK:
      return cp("файл занят другой программой");
    case ENOTCONN:
      return cp("нет связи с сервером");
    default:
      return cp("ошибка ввода-вывода (код ") + std::to_string(code) + ")";
  }
}

std::optional<AppendFailure> appendRecord(const std::string& path, std::string_view record,
                                          const AppendOptions& options) {
  // Non-blocking so that a pipe of that name cannot hang the program. A link
  // to an existing log is appended to, but a new log is only ever made under
  // its own name: a dangling link planted in the folder must not create a
  // file wherever it points.
  constexpr int kAppend = O_WRONLY | O_APPEND | O_CLOEXEC | O_NONBLOCK;
  int fd = ::open(path.c_str(), kAppend);
  if (fd < 0 && errno == ENOENT) {
    fd = ::open(path.c_str(), kAppend | O_CREAT | O_EXCL | O_NOFOLLOW, 0644);
    if (fd >= 0) {
      shareLikeFolder(fd, path);
    } else if (errno == EEXIST) {
      // Either somebody made the log just now, or the name is a dangling link.
      fd = ::open(path.c_str(), kAppend);
      if (fd < 0 && errno == ENOENT) errno = ELOOP;
    }
  }
  Descriptor file(fd);
  if (file.get() < 0) return failure(errno);
  struct stat info {};
  if (::fstat(file.get(), &info) != 0) return failure(errno);
  if (!S_ISREG(info.st_mode)) return failure(ENXIO);
  const int lock = options.lock == LockWait::Try ? LOCK_EX | LOCK_NB : LOCK_EX;
  while (::flock(file.get(), lock) != 0)
    if (errno != EINTR) return failure(errno);
  if (options.unlessFoundFrom && holdsRecord(file.get(), path, *options.unlessFoundFrom, record))
    return std::nullopt;

  // The length is taken under the lock: nobody else appends until it is released.
  if (::fstat(file.get(), &info) != 0) return failure(errno);
  const off_t before = info.st_size;

  int error = writeWhole(file.get(), record);
  // A record that only sits in a cache is not yet kept; file systems that
  // cannot sync at all (EINVAL) keep it anyway.
  if (error == 0 && ::fsync(file.get()) != 0 && errno != EINVAL && errno != EROFS) error = errno;
  if (error != 0) {
    // Whatever part of the record made it to the file is taken out again.
    if (::ftruncate(file.get(), before) != 0) {
      // Nothing more can be done; the reason of the first failure is what counts.
    }
    return failure(error);
  }
  return std::nullopt;
}
