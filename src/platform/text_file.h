#pragma once
// Text files as lines of bytes.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/data_error.h"
#include "platform/expected.h"

// A folder path as file names are joined to it: ending in '/' (empty stays empty).
std::string asFolder(std::string path);

// True when a regular file (or a link to one) of that path exists.
bool fileExists(const std::string& path);

// The line that starts at pos; pos moves to the start of the next one. CR LF
// and a bare LF end a line, a lone CR is part of it, the last line need not be
// terminated. Call it while pos < text.size().
std::string_view nextLine(std::string_view text, std::size_t& pos);

// Splits text into lines: CR LF and a bare LF end a line, a lone CR is part of
// the line, the last line need not be terminated, and a line end at the very
// end of the text does not start another (empty) line.
std::vector<std::string> splitLines(std::string_view text);

// The largest text file read: far beyond any course, and small enough that a
// huge or sparse file planted under a course file's name is refused instead of
// exhausting the memory.
inline constexpr std::uint64_t kMaxTextFileBytes = 256 * 1024 * 1024;

// Reads a whole file as it is, or says why not: FileMissing when there is
// nothing under that path, CannotRead when it cannot be read, is not a regular
// file or is larger than kMaxTextFileBytes; the error names the file by its
// bare name.
Expected<std::string, DataError> readText(const std::string& path);

// Writes all of bytes to the open file fd, going on after short and
// interrupted writes. Returns 0, or the system's error number (ENOSPC when a
// write makes no progress).
int writeWhole(int fd, std::string_view bytes);

// True when a course file's bytes are UTF-8 by the course files' rule: they
// start with a byte-order mark, or they are well-formed UTF-8 holding at least
// one multi-byte sequence (real code page 1251 text practically never is).
bool isUtf8CourseText(std::string_view bytes);

// A course file's bytes as code page 1251: UTF-8 (by isUtf8CourseText) is
// converted, its byte-order mark skipped, anything else is kept as it is. A NUL
// byte (the file is not text) and a character code page 1251 lacks are BadText
// errors naming the file, the line and the character.
Expected<std::string, DataError> courseText(std::string bytes, const std::string& name);

// Reads a course file by readText and courseText.
Expected<std::string, DataError> readCourseText(const std::string& path);

// Reads a course file by readCourseText and splits it into lines.
Expected<std::vector<std::string>, DataError> readLines(const std::string& path);
