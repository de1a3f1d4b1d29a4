#include "exam/protocol_log.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

#include "platform/cp1251.h"

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

}  // namespace

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
    default:
      return cp("ошибка ввода-вывода (код ") + std::to_string(code) + ")";
  }
}

std::optional<AppendFailure> appendRecord(const std::string& path, std::string_view record) {
  // Non-blocking so that a pipe of that name cannot hang the program. A link
  // to an existing log is appended to, but a new log is only ever made under
  // its own name: a dangling link planted in the folder must not create a
  // file wherever it points.
  constexpr int kAppend = O_WRONLY | O_APPEND | O_CLOEXEC | O_NONBLOCK;
  int fd = ::open(path.c_str(), kAppend);
  if (fd < 0 && errno == ENOENT) {
    fd = ::open(path.c_str(), kAppend | O_CREAT | O_EXCL | O_NOFOLLOW, 0644);
    if (fd < 0 && errno == EEXIST) {
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
  while (::flock(file.get(), LOCK_EX) != 0)
    if (errno != EINTR) return failure(errno);

  // The length is taken under the lock: nobody else appends until it is released.
  if (::fstat(file.get(), &info) != 0) return failure(errno);
  const off_t before = info.st_size;

  int error = 0;
  const char* data = record.data();
  std::size_t left = record.size();
  while (left > 0) {
    const ssize_t written = ::write(file.get(), data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      error = errno;
      break;
    }
    if (written == 0) {
      error = EIO;
      break;
    }
    data += written;
    left -= static_cast<std::size_t>(written);
  }
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
