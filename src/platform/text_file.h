#pragma once
// Text files as lines of bytes.
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

// Reads a whole file as it is, or says why not: FileMissing when there is no
// regular file of that path, CannotRead when it cannot be read; the error names
// the file by its bare name.
Expected<std::string, DataError> readText(const std::string& path);

// Reads a whole file and splits it into lines; fails as readText does.
Expected<std::vector<std::string>, DataError> readLines(const std::string& path);
