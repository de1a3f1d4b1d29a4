#pragma once
// Text files as lines of bytes.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// Reads a whole file as it is; nullopt when it cannot be read.
std::optional<std::string> readText(const std::string& path);

// Reads a whole file and splits it into lines; nullopt when it cannot be read.
std::optional<std::vector<std::string>> readLines(const std::string& path);
