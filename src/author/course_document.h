#pragma once
// A course folder as the editor holds it: every line of every course file as it
// was read, with each file's encoding and line ends, so that what is not edited
// is written back byte for byte. Edits are splices of lines, recorded in a
// Change that can be taken back exactly. Texts of lines are code page 1251.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The course files the editor reads and writes.
enum class CourseFileId : unsigned {
  Main,           // main.txt
  Questions,      // vopros.txt
  Answers,        // otvet.txt
  Consultations,  // konsult.txt
  Ranges,         // diapazon.txt
  Diagrams,       // graph.txt
  Identity,       // kurs.txt
};
inline constexpr std::size_t kCourseFileCount = 7;
inline constexpr std::array<CourseFileId, kCourseFileCount> kCourseFiles = {
    CourseFileId::Main,          CourseFileId::Questions, CourseFileId::Answers,
    CourseFileId::Consultations, CourseFileId::Ranges,    CourseFileId::Diagrams,
    CourseFileId::Identity};
const char* courseFileName(CourseFileId file);
std::optional<CourseFileId> courseFileNamed(std::string_view name);

enum class TextEncoding : unsigned char { Cp1251, Utf8, Utf8WithMark };
enum class LineEnd : unsigned char { None, Lf, CrLf };

struct DocLine {
  std::string text;  // code page 1251; a lone CR stays part of the line, as the program reads it
  LineEnd end = LineEnd::CrLf;
  friend bool operator==(const DocLine&, const DocLine&) = default;
};

struct TextDoc {
  bool present = false;  // false: no such file (an edit that writes a line creates it)
  TextEncoding encoding = TextEncoding::Cp1251;
  std::vector<DocLine> lines;
  std::uint64_t revision = 0;  // counts every splice, undone ones too
  friend bool operator==(const TextDoc& a, const TextDoc& b) {
    return a.present == b.present && a.encoding == b.encoding && a.lines == b.lines;
  }
};

// A picture chosen in the editor, copied into the folder when the course is saved.
struct PendingPicture {
  std::string name;  // file name in the course folder (UTF-8 on disk; ASCII in practice)
  std::string bytes;
  friend bool operator==(const PendingPicture&, const PendingPicture&) = default;
};

// Lines [at, at + removed.size()) of a file replaced by inserted.
struct Splice {
  CourseFileId file = CourseFileId::Main;
  std::size_t at = 0;
  std::vector<DocLine> removed;
  std::vector<DocLine> inserted;
  bool presentBefore = true;
  bool presentAfter = true;
};

// One edit as the undo history keeps it.
struct Change {
  std::vector<Splice> splices;           // applied in order, taken back in reverse order
  std::vector<PendingPicture> pictures;  // added by the edit
  bool empty() const { return splices.empty() && pictures.empty(); }
  void append(Change&& later);
};

// What the file was like on disk when it was read or last written, to notice a
// change made behind the editor's back.
struct DiskStamp {
  bool exists = false;
  std::uint64_t size = 0;
  std::int64_t mtimeNs = 0;
  std::uint64_t hash = 0;
  friend bool operator==(const DiskStamp&, const DiskStamp&) = default;
};

// A fault that keeps a folder from being opened (UTF-8, Russian).
struct OpenError {
  std::string file;   // bare name, empty for the folder
  unsigned line = 0;  // 1-based; 0 for the whole file
  std::string what;
  std::string message() const;  // "vopros.txt, строка 3: ..." as a message box shows it
};

class CourseDocument {
 public:
  CourseDocument() = default;

  // Builds a document from the bytes of the files (nullopt: no such file), as
  // if read from folder but not yet written there; every file counts as unsaved.
  static std::optional<CourseDocument> fromBytes(
      const std::string& folder,
      const std::array<std::optional<std::string>, kCourseFileCount>& files,
      OpenError* error = nullptr);

  const std::string& folder() const { return folder_; }  // ends in '/'
  void setFolder(std::string folder);
  const TextDoc& file(CourseFileId id) const { return files_[static_cast<std::size_t>(id)]; }
  const std::vector<PendingPicture>& pictures() const { return pictures_; }
  // The same lines in every file and the same pictures waiting: what an undo
  // must bring back exactly.
  bool sameContent(const CourseDocument& other) const {
    return files_ == other.files_ && pictures_ == other.pictures_;
  }

  // The file's bytes as they would be written: each line in the file's
  // encoding with its own line end.
  std::string render(CourseFileId id) const;
  // The line end new lines of the file get: that of its first terminated line.
  LineEnd usualLineEnd(CourseFileId id) const;

  // Applies a change (redo) or takes it back (undo).
  void apply(const Change& change);
  void revert(const Change& change);

  // The low-level edits, each applied at once and recorded in *log.
  void splice(Change& log, CourseFileId id, std::size_t at, std::size_t removeCount,
              std::vector<DocLine> inserted);
  void replaceText(Change& log, CourseFileId id, std::size_t line, std::string text);
  void addPicture(Change& log, PendingPicture picture);

  // True when nothing differs from what the folder held at the last read or save.
  bool unchanged() const;
  // The files whose bytes differ from the last read or save.
  std::vector<CourseFileId> changedFiles() const;

  // Bookkeeping of the save (folder_save.h).
  struct Saved {
    std::optional<std::string> bytes;  // nullopt: no such file
    DiskStamp stamp;
    std::uint64_t revision = 0;
  };
  const Saved& saved(CourseFileId id) const { return saved_[static_cast<std::size_t>(id)]; }
  void markSaved(CourseFileId id, std::optional<std::string> bytes, const DiskStamp& stamp);
  void markPicturesSaved();

  // Counts every edit and undo: views compare it to know when to look again.
  std::uint64_t version() const { return version_; }

 private:
  friend std::optional<CourseDocument> openCourseFolder(const std::string&, OpenError*);
  TextDoc& mutableFile(CourseFileId id) { return files_[static_cast<std::size_t>(id)]; }
  void applySplice(const Splice& s, bool forward);

  std::string folder_;
  std::array<TextDoc, kCourseFileCount> files_;
  std::array<Saved, kCourseFileCount> saved_;
  std::vector<PendingPicture> pictures_;
  // The names of pictures a save wrote: a redo of their edit finds them in the
  // folder and must not write them again.
  std::vector<std::string> savedPictures_;
  std::uint64_t version_ = 0;
};

// Splits a file's bytes into lines the way the program reads them (CR LF and LF
// end a line, a lone CR is part of it), after turning UTF-8 into code page 1251
// as the program does. nullopt with *error when the program could not read it.
std::optional<TextDoc> parseTextFile(std::string_view name, std::string bytes, OpenError* error);

// Reads the course files of folder (each may be missing), noting how each lay on
// disk. A file that is no regular file (a symbolic link included), cannot be
// read, or that the program could not read as text keeps the folder from
// opening, with the reason.
std::optional<CourseDocument> openCourseFolder(const std::string& folder, OpenError* error);

// The stamp of a file as it is on disk now. The content is hashed only when
// size or time differ from previous (a file only touched is no change), and not
// at all without withHash.
DiskStamp stampOf(const std::string& path, const DiskStamp* previous = nullptr,
                  bool withHash = true);
std::uint64_t contentHash(std::string_view bytes);
