#pragma once
// The grammar shared by the course files: line kinds, topic markers and
// question-number sets. Everything here works on code page 1251 bytes and
// counts positions from 1, as a course author does.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class LineKind { TopicMarker, Set, Record, Other };

// By the first character: '+' topic marker, '*' set line, '_' record, anything else other.
// An empty line is Other; callers that forbid empty lines check for it first.
LineKind classify(std::string_view line);

// The decimal digit at 1-based position pos, or nullopt when the line is too
// short or the character is not '0'..'9'.
std::optional<unsigned> digitAt(std::string_view line, std::size_t pos);

// "_" + decimal(n) + "_": the key by which sets name question n.
std::string setKey(unsigned n);

// True when the set names question n ("_n_" occurs anywhere in it).
bool setContains(std::string_view set, unsigned n);

// Checks a set text (from position 3 of a set line) and shifts every number in
// it by offset: "_1_2_" with offset 3 gives "_4_5_". A doubled final underscore
// ("_4__") is tolerated and dropped. nullopt when the text is not "_", then
// numbers each followed by "_" (a number: decimal digits, no leading zero, not 0).
// Numbers above limit name no question of their topic and are left out, so that
// they cannot name a question of the next topic once shifted.
std::optional<std::string> renumberSet(std::string_view setText, unsigned offset,
                                       unsigned limit = static_cast<unsigned>(-1));

// The numbers of a set text that renumberSet accepts, in order; nullopt for one it refuses.
std::optional<std::vector<unsigned>> setNumbers(std::string_view setText);

// main.txt: the non-empty lines, in order, are the topic titles.
std::vector<std::string> topicTitles(const std::vector<std::string>& mainLines);
