#pragma once
// Text helpers of the converter: input encodings, HTML to plain text, escaping
// for the formats written, and the strict way into code page 1251.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// True when bytes are well-formed UTF-8 (no overlong forms, no surrogates).
bool isUtf8(std::string_view bytes);

// A text file's bytes as UTF-8: a byte-order mark is skipped; bytes that are not
// UTF-8 are taken as code page 1251.
std::string decodeInput(std::string_view bytes);

// What HTML held besides its text.
struct PlainText {
  std::vector<std::string> lines;  // non-empty, blanks collapsed, trimmed
  bool picture = false;            // an <img> or an embedded file
  bool formatting = false;         // tags that change how the text looks
  bool link = false;               // a link's address, kept in the text after it
};
// Block tags and <br> end a line; other tags are dropped; entities are decoded.
// A link's address follows its text in brackets: the text alone may not answer.
PlainText htmlToText(std::string_view html);
// Plain text: line ends kept as lines, blanks collapsed, empty lines dropped.
PlainText plainText(std::string_view text);
// The lines joined by single blanks: how a question or option is kept.
std::string oneLine(const std::vector<std::string>& lines);

std::string markupEscape(std::string_view text);  // & < > " (an apostrophe stays)
std::string xmlEscape(std::string_view text);     // the same, for XML text and attributes

// UTF-8 -> code page 1251. nullopt when a character has no place in it (or is
// 0x98, which the program refuses); *missing then names the character.
std::optional<std::string> toCp1251(std::string_view utf8, std::string* missing = nullptr);
