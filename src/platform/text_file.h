#pragma once
// Text files as lines of bytes.
#include <optional>
#include <string>
#include <vector>

// True when a regular file (or a link to one) of that path exists.
bool fileExists(const std::string& path);

// Splits text into lines: CR LF and a bare LF end a line, a lone CR is part of
// the line, the last line need not be terminated, and a line end at the very
// end of the text does not start another (empty) line.
std::vector<std::string> splitLines(std::string_view text);

// Reads a whole file and splits it into lines; nullopt when it cannot be read.
std::optional<std::vector<std::string>> readLines(const std::string& path);
