#include "author/folder_save.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <random>

#include "platform/data_error.h"
#include "platform/text_file.h"

namespace {

// One file of a save: what is written under which name.
struct Target {
  std::string name;
  std::string bytes;
  std::optional<CourseFileId> file;  // nullopt: a picture, which must be new
  std::string temp;
  std::string backup;  // a second name of the old file, to put it back
  bool renamed = false;
};

std::string randomSuffix() {
  static std::random_device device;
  static const char* const kDigits = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::string suffix;
  for (int i = 0; i < 10; ++i) suffix += kDigits[device() % 36];
  return suffix;
}

// All of bytes, synced; false with errno set on a failure.
bool writeAll(int fd, const std::string& bytes) {
  if (const int error = writeWhole(fd, bytes)) {
    errno = error;
    return false;
  }
  return ::fsync(fd) == 0;
}

// Creates a new file of a random name beside name in dir holding bytes, and
// sets made to its name; returns errno.
int writeTemporary(int dir, const std::string& name, const std::string& bytes, mode_t mode,
                   std::string& made) {
  for (int attempt = 0; attempt < 20; ++attempt) {
    const std::string temp = "." + name + "." + randomSuffix();
    const int fd =
        ::openat(dir, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return errno;
    }
    made = temp;
    // The umask does not narrow an existing file's permissions.
    ::fchmod(fd, mode);
    const bool ok = writeAll(fd, bytes);
    const int error = ok ? 0 : (errno ? errno : EIO);
    if (::close(fd) != 0 && ok) return errno;
    return error;
  }
  return EEXIST;
}

// Moves a new picture into place without replacing anything of that name.
int placeNew(int dir, const std::string& temp, const std::string& name) {
  if (::renameat2(dir, temp.c_str(), dir, name.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
  if (::linkat(dir, temp.c_str(), dir, name.c_str(), 0) != 0) return errno;
  ::unlinkat(dir, temp.c_str(), 0);
  return 0;
}

std::string notWritten(const std::string& name, int error) {
  return "«" + name + "» не записан: " + writeFailureReason(error) + ".";
}

// A second name for the file about to be replaced, so that a failed rename
// further on can put it back: a hard link, or a copy where the file system has
// none (FAT). What is no regular file is not worth putting back. Returns why
// the file could not be kept (empty: kept, or nothing to keep).
std::string keepOld(int dir, const std::string& folder, Target& t, const struct stat& old) {
  const std::string backup = "." + t.name + ".old-" + randomSuffix();
  if (::linkat(dir, t.name.c_str(), dir, backup.c_str(), 0) == 0) {
    t.backup = backup;
    return {};
  }
  if (!S_ISREG(old.st_mode)) return {};
  const auto bytes = readText(folder + t.name);
  if (!bytes) {
    if (bytes.error().code == DataError::Code::FileMissing) return {};
    return "«" + t.name +
           "» не записан: прежний файл не удается прочитать, чтобы вернуть его при сбое.";
  }
  if (const int error = writeTemporary(dir, t.name + ".old", *bytes, old.st_mode & 0777, t.backup))
    return notWritten(t.name, error);
  return {};
}

}  // namespace

std::string writeFailureReason(int error) {
  switch (error) {
    case EACCES:
    case EPERM:
      return "нет права на запись";
    case EEXIST:
      return "файл с таким именем уже есть";
    case ELOOP:
      return "это символическая ссылка";
    case ENOTDIR:
      return "это не папка";
    case EISDIR:
    case ENOTEMPTY:
      return "под этим именем лежит папка";
    case ENOSPC:
      return "нет места на диске";
    case EDQUOT:
      return "исчерпана квота диска";
    case EROFS:
      return "диск только для чтения";
    case ENOENT:
      return "папка не найдена";
    case EIO:
      return "ошибка ввода-вывода";
    default:
      return std::strerror(error);
  }
}

SaveReport saveCourse(CourseDocument& doc, bool overwriteChanged) {
  SaveReport report;
  const std::vector<CourseFileId> changed = doc.changedFiles();
  if (changed.empty() && doc.pictures().empty()) {
    report.saved = true;
    return report;
  }
  const std::string& folder = doc.folder();
  const std::string path = folder.empty() ? "." : folder;
  if (::mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) {
    report.error = "Папку «" + path + "» не удается создать: " + writeFailureReason(errno) + ".";
    return report;
  }

  for (CourseFileId id : changed) {
    const DiskStamp& before = doc.saved(id).stamp;
    const DiskStamp now = stampOf(folder + courseFileName(id), &before);
    const bool differs = now.exists != before.exists || (now.exists && now.hash != before.hash);
    if (differs) report.conflicts.push_back(courseFileName(id));
  }
  if (!report.conflicts.empty() && !overwriteChanged) return report;
  report.conflicts.clear();

  const int dir = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) {
    report.error = "Папку «" + path + "» не удается открыть: " + writeFailureReason(errno) + ".";
    return report;
  }
  std::vector<Target> targets;
  for (CourseFileId id : changed)
    targets.push_back({courseFileName(id), doc.render(id), id, {}, {}, false});
  for (const PendingPicture& p : doc.pictures())
    targets.push_back({p.name, p.bytes, std::nullopt, {}, {}, false});

  auto undoAll = [&](const std::string& error) {
    // Back to the files as they were: the old ones under their names, no temporaries.
    for (Target& t : targets) {
      if (t.renamed) {
        if (!t.backup.empty())
          ::renameat(dir, t.backup.c_str(), dir, t.name.c_str());
        else
          ::unlinkat(dir, t.name.c_str(), 0);
      } else if (!t.backup.empty()) {
        ::unlinkat(dir, t.backup.c_str(), 0);
      }
      if (!t.temp.empty() && !t.renamed) ::unlinkat(dir, t.temp.c_str(), 0);
    }
    ::close(dir);
    report.error = error;
    return report;
  };

  for (Target& t : targets) {
    struct stat old {};
    const bool exists = ::fstatat(dir, t.name.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0;
    if (exists && S_ISDIR(old.st_mode)) return undoAll(notWritten(t.name, EISDIR));
    // The set-user-ID and like bits of a file anyone may have put there are not taken over.
    const mode_t mode = exists && S_ISREG(old.st_mode) ? old.st_mode & 0777 : 0644;
    if (const int error = writeTemporary(dir, t.name, t.bytes, mode, t.temp))
      return undoAll(notWritten(t.name, error));
    if (exists && t.file)
      if (std::string error = keepOld(dir, asFolder(path), t, old); !error.empty())
        return undoAll(error);
  }
  for (Target& t : targets) {
    const int error = t.file
                          ? (::renameat(dir, t.temp.c_str(), dir, t.name.c_str()) == 0 ? 0 : errno)
                          : placeNew(dir, t.temp, t.name);
    if (error) return undoAll(notWritten(t.name, error));
    t.renamed = true;
  }
  for (Target& t : targets)
    if (!t.backup.empty()) ::unlinkat(dir, t.backup.c_str(), 0);
  ::fsync(dir);
  ::close(dir);

  for (Target& t : targets) {
    report.written.push_back(t.name);
    if (!t.file) continue;
    DiskStamp stamp = stampOf(folder + t.name, nullptr, false);
    stamp.hash = contentHash(t.bytes);
    doc.markSaved(*t.file, std::move(t.bytes), stamp);
  }
  doc.markPicturesSaved();
  report.saved = true;
  return report;
}
