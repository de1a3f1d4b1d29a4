#include "author/course_document.h"

#include <sys/stat.h>

#include <algorithm>
#include <utility>

#include "platform/cp1251.h"
#include "platform/text_file.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

constexpr std::array<const char*, kCourseFileCount> kNames = {
    "main.txt", "vopros.txt", "otvet.txt", "konsult.txt", "diapazon.txt", "graph.txt", "kurs.txt"};

std::string_view endBytes(LineEnd end) {
  switch (end) {
    case LineEnd::Lf:
      return "\n";
    case LineEnd::CrLf:
      return "\r\n";
    case LineEnd::None:
      break;
  }
  return {};
}

std::string renderFile(const TextDoc& doc) {
  std::string out;
  if (!doc.present) return out;
  std::size_t size = 3;
  for (const DocLine& line : doc.lines) size += line.text.size() + 2;
  out.reserve(doc.encoding == TextEncoding::Cp1251 ? size : size * 2);
  if (doc.encoding == TextEncoding::Utf8WithMark) out += kByteOrderMark;
  for (const DocLine& line : doc.lines) {
    if (doc.encoding == TextEncoding::Cp1251)
      out += line.text;
    else
      out += utf8FromCp1251(line.text);
    out += endBytes(line.end);
  }
  return out;
}

OpenError openError(std::string_view name, unsigned line, std::string what) {
  return OpenError{std::string(name), line, std::move(what)};
}

}  // namespace

const char* courseFileName(CourseFileId file) { return kNames[static_cast<std::size_t>(file)]; }

std::optional<CourseFileId> courseFileNamed(std::string_view name) {
  for (CourseFileId id : kCourseFiles)
    if (name == courseFileName(id)) return id;
  return std::nullopt;
}

std::string OpenError::message() const {
  std::string text;
  if (!file.empty()) text = "Файл " + file;
  if (line > 0) text += ", строка " + std::to_string(line);
  if (!text.empty()) text += ": ";
  return text + what;
}

void Change::append(Change&& later) {
  for (Splice& s : later.splices) splices.push_back(std::move(s));
  for (PendingPicture& p : later.pictures) pictures.push_back(std::move(p));
}

std::optional<TextDoc> parseTextFile(std::string_view name, std::string bytes, OpenError* error) {
  TextDoc doc;
  doc.present = true;
  const std::string original = bytes;
  if (isUtf8CourseText(bytes))
    doc.encoding = bytes.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0
                       ? TextEncoding::Utf8WithMark
                       : TextEncoding::Utf8;
  auto text = courseText(std::move(bytes), std::string(name));
  if (!text) {
    if (error) *error = openError(name, text.error().line, utf8FromCp1251(text.error().what));
    return std::nullopt;
  }
  const std::string_view all = *text;
  for (std::size_t pos = 0; pos < all.size();) {
    const std::size_t start = pos;
    const std::string_view line = nextLine(all, pos);
    const std::size_t endLength = pos - start - line.size();
    doc.lines.push_back(DocLine{std::string(line), endLength == 2   ? LineEnd::CrLf
                                                   : endLength == 1 ? LineEnd::Lf
                                                                    : LineEnd::None});
  }
  // The program's reading is not one to one only for UTF-8 it would convert
  // differently than written; such a file is left to a text editor.
  if (renderFile(doc) != original) {
    if (error)
      *error = openError(name, 0,
                         "файл не удается прочитать без потерь: его кодировка смешанная. "
                         "Сохраните его в кодировке 1251 или UTF-8.");
    return std::nullopt;
  }
  return doc;
}

std::uint64_t contentHash(std::string_view bytes) {
  std::uint64_t hash = 1469598103934665603ull;  // FNV-1a
  for (unsigned char c : bytes) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  return hash;
}

DiskStamp stampOf(const std::string& path, const DiskStamp* previous, bool withHash) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return DiskStamp{};
  DiskStamp stamp;
  stamp.exists = true;
  stamp.size = static_cast<std::uint64_t>(info.st_size);
  stamp.mtimeNs =
      static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
  if (previous && previous->exists && previous->size == stamp.size &&
      previous->mtimeNs == stamp.mtimeNs) {
    stamp.hash = previous->hash;
    return stamp;
  }
  if (!withHash || !S_ISREG(info.st_mode)) return stamp;  // hash 0: never equal to a file read
  if (auto bytes = readText(path)) stamp.hash = contentHash(*bytes);
  return stamp;
}

std::optional<CourseDocument> CourseDocument::fromBytes(
    const std::string& folder,
    const std::array<std::optional<std::string>, kCourseFileCount>& files, OpenError* error) {
  CourseDocument doc;
  doc.setFolder(folder);
  for (std::size_t i = 0; i < kCourseFileCount; ++i) {
    if (!files[i]) continue;
    auto parsed = parseTextFile(kNames[i], *files[i], error);
    if (!parsed) return std::nullopt;
    doc.files_[i] = std::move(*parsed);
    doc.files_[i].revision = 1;  // unlike the saved state (nothing), so written at the first save
  }
  return doc;
}

std::optional<CourseDocument> openCourseFolder(const std::string& folder, OpenError* error) {
  CourseDocument doc;
  doc.setFolder(folder);
  struct stat info {};
  if (::stat(doc.folder_.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    if (error) *error = openError("", 0, "папка «" + folder + "» не найдена.");
    return std::nullopt;
  }
  for (std::size_t i = 0; i < kCourseFileCount; ++i) {
    const std::string path = doc.folder_ + kNames[i];
    // A link planted in the folder is not read through: a save would write what
    // it points to (any file the author may read) into the folder every candidate reads.
    struct stat entry {};
    if (::lstat(path.c_str(), &entry) == 0 && S_ISLNK(entry.st_mode)) {
      if (error)
        *error = openError(kNames[i], 0,
                           "это символическая ссылка; редактор открывает только обычные файлы.");
      return std::nullopt;
    }
    // Stamped before reading: a change in between is then seen at the save.
    DiskStamp stamp = stampOf(path, nullptr, false);
    auto bytes = readText(path);
    if (!bytes) {
      if (bytes.error().code == DataError::Code::FileMissing) continue;
      if (error) *error = openError(kNames[i], 0, utf8FromCp1251(bytes.error().what));
      return std::nullopt;
    }
    stamp.hash = contentHash(*bytes);
    auto parsed = parseTextFile(kNames[i], *bytes, error);
    if (!parsed) return std::nullopt;
    doc.files_[i] = std::move(*parsed);
    doc.saved_[i] = CourseDocument::Saved{std::move(*bytes), stamp, 0};
  }
  return doc;
}

void CourseDocument::setFolder(std::string folder) { folder_ = asFolder(std::move(folder)); }

std::string CourseDocument::render(CourseFileId id) const { return renderFile(file(id)); }

LineEnd CourseDocument::usualLineEnd(CourseFileId id) const {
  for (const DocLine& line : file(id).lines)
    if (line.end != LineEnd::None) return line.end;
  return LineEnd::CrLf;
}

void CourseDocument::applySplice(const Splice& s, bool forward) {
  TextDoc& doc = mutableFile(s.file);
  const std::vector<DocLine>& out = forward ? s.removed : s.inserted;
  const std::vector<DocLine>& in = forward ? s.inserted : s.removed;
  const auto at = doc.lines.begin() + static_cast<std::ptrdiff_t>(s.at);
  if (out.size() == in.size()) {
    std::copy(in.begin(), in.end(), at);
  } else {
    doc.lines.erase(at, at + static_cast<std::ptrdiff_t>(out.size()));
    doc.lines.insert(doc.lines.begin() + static_cast<std::ptrdiff_t>(s.at), in.begin(), in.end());
  }
  doc.present = forward ? s.presentAfter : s.presentBefore;
  ++doc.revision;
}

void CourseDocument::apply(const Change& change) {
  for (const Splice& s : change.splices) applySplice(s, true);
  for (const PendingPicture& p : change.pictures)
    if (std::find(savedPictures_.begin(), savedPictures_.end(), p.name) == savedPictures_.end())
      pictures_.push_back(p);
  ++version_;
}

void CourseDocument::revert(const Change& change) {
  for (auto s = change.splices.rbegin(); s != change.splices.rend(); ++s) applySplice(*s, false);
  for (const PendingPicture& p : change.pictures)
    std::erase_if(pictures_, [&](const PendingPicture& q) { return q.name == p.name; });
  ++version_;
}

void CourseDocument::splice(Change& log, CourseFileId id, std::size_t at, std::size_t removeCount,
                            std::vector<DocLine> inserted) {
  TextDoc& doc = mutableFile(id);
  Splice s;
  s.file = id;
  s.at = at;
  s.presentBefore = doc.present;
  const auto first = doc.lines.begin() + static_cast<std::ptrdiff_t>(at);
  s.removed.assign(first, first + static_cast<std::ptrdiff_t>(removeCount));
  s.inserted = std::move(inserted);
  // A file stays once it exists; a line written into a missing one creates it.
  s.presentAfter = doc.present || !s.inserted.empty();
  applySplice(s, true);
  ++version_;
  log.splices.push_back(std::move(s));
}

void CourseDocument::replaceText(Change& log, CourseFileId id, std::size_t line, std::string text) {
  const DocLine& old = file(id).lines[line];
  if (old.text == text) return;
  splice(log, id, line, 1, {DocLine{std::move(text), old.end}});
}

void CourseDocument::addPicture(Change& log, PendingPicture picture) {
  pictures_.push_back(picture);
  log.pictures.push_back(std::move(picture));
  ++version_;
}

std::vector<CourseFileId> CourseDocument::changedFiles() const {
  std::vector<CourseFileId> changed;
  for (CourseFileId id : kCourseFiles) {
    const TextDoc& doc = file(id);
    const Saved& s = saved(id);
    if (doc.revision == s.revision) continue;
    if (!doc.present && !s.bytes) continue;
    if (doc.present && s.bytes && render(id) == *s.bytes) continue;
    changed.push_back(id);
  }
  return changed;
}

bool CourseDocument::unchanged() const { return pictures_.empty() && changedFiles().empty(); }

void CourseDocument::markPicturesSaved() {
  for (PendingPicture& p : pictures_) savedPictures_.push_back(std::move(p.name));
  pictures_.clear();
}

void CourseDocument::markSaved(CourseFileId id, std::optional<std::string> bytes,
                               const DiskStamp& stamp) {
  Saved& s = saved_[static_cast<std::size_t>(id)];
  s.bytes = std::move(bytes);
  s.stamp = stamp;
  s.revision = file(id).revision;
}
