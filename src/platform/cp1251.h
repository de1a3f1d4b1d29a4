#pragma once
// Code page 1251 as bytes. The rules keep every text in this code page; these
// helpers only serve the program's own literals (written in UTF-8 in the
// sources) and tests. The windows convert with Qt's converter (codec.h).
#include <string>
#include <string_view>

// UTF-8 text -> code page 1251 bytes. A character the code page lacks becomes '?',
// and so does each byte that does not begin a well-formed UTF-8 sequence
// (decoding goes on at the next byte, so "\xD0A" gives "?A").
std::string cp1251FromUtf8(std::string_view utf8);

// The code page 1251 byte of a character, or -1 when the code page lacks it
// (0x98, which code page 1251 leaves undefined, counts as lacking).
int cp1251ByteOf(char32_t c);

// The well-formed UTF-8 sequence at i: its length and character, or length 0
// when the bytes there are not one.
struct Utf8Char {
  std::size_t length = 0;
  char32_t c = 0;
};
Utf8Char utf8CharAt(std::string_view utf8, std::size_t i);

// True when every byte belongs to a well-formed UTF-8 sequence (ASCII included).
bool isWellFormedUtf8(std::string_view bytes);

// Code page 1251 bytes -> UTF-8. Every byte maps (0x98 to U+0098), so nothing is lost.
std::string utf8FromCp1251(std::string_view bytes);

// Code page 1251 text in the terminal's encoding (nl_langinfo's codeset name):
// as it is for a code page 1251 terminal, UTF-8 for any other.
std::string forTerminal(std::string_view text, std::string_view codeset);
// The same for UTF-8 text: as it is for any terminal but a code page 1251 one.
std::string utf8ForTerminal(std::string_view utf8, std::string_view codeset);
// What was typed in that terminal (an argument, say) in code page 1251.
std::string cp1251FromTerminal(std::string_view text, std::string_view codeset);

// Shorthand for the program's own Russian literals: cp("Ответы не найдены.").
inline std::string cp(std::string_view utf8) { return cp1251FromUtf8(utf8); }
