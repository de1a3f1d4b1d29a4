#pragma once
// How wide a line of code page 1251 text is in the fonts the windows show
// course texts in, without asking a window system: the advances and kerning
// of the installed Liberation fonts, taken once from Qt and kept in
// text_width_tables.cpp (tests/platform/text_width_test.cpp checks them against
// Qt and writes a fresh table when the fonts change).
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

// The faces course texts are measured in.
enum class Face {
  Sans11,         // the answering windows' font (MS Sans Serif, 11 pixels)
  Sans11Bold,     // the same, bold: the right option after a wrong answer
  SerifItalic17,  // the main window's topic list (Times New Roman, 17 pixels, italic)
};
inline constexpr std::array<Face, 3> kFaces{Face::Sans11, Face::Sans11Bold, Face::SerifItalic17};

// Kerning is applied within a run of one script only; blanks, digits and
// punctuation join the run they stand in (or the first one, at the start).
enum class Script : std::uint8_t { Common, Latin, Cyrillic };

struct KernPair {
  std::uint16_t pair = 0;  // first byte << 8 | second byte
  std::int16_t value = 0;  // in 1/64 pixel
};

struct FontTable {
  std::array<std::uint16_t, 256> advances{};  // in 1/64 pixel, by byte
  std::span<const KernPair> kerning;          // sorted by pair; only pairs that kern
};

const FontTable& fontTable(Face face);
const std::array<Script, 256>& byteScripts();

// Measures a line one byte at a time, as a text layout lays it out.
class LineWidth {
 public:
  explicit LineWidth(Face face) : table_(&fontTable(face)) {}
  void add(unsigned char c);
  void add(std::string_view text) {
    for (char c : text) add(static_cast<unsigned char>(c));
  }
  // The width so far in 1/64 pixel, and in whole pixels (rounded up).
  std::int64_t sixtyFourths() const { return width_; }
  int pixels() const;

 private:
  const FontTable* table_;
  std::int64_t width_ = 0;
  int previous_ = -1;
  Script run_ = Script::Common;
};

// The width of a whole line in pixels, rounded up.
int textWidth(std::string_view text, Face face);

// Between a radio button's left edge and its caption stands the indicator, and
// the focus frame reaches past the caption's end: together what the style's
// size hint adds to the caption's width in whole pixels (Fusion, the style the
// program runs in; tests/bank/card_widgets_test.cpp checks it).
constexpr int kRadioButtonExtra = 25;
