#pragma once
// graph.txt, the diagram map: which picture file shows which diagram, and the
// size and place of the window that shows it.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct DiagramEntry {
  std::uint16_t number = 0;
  std::string file;  // code page 1251, exactly as written (blanks included)
};

// One entry per line "number blank file name", in file order. Empty lines,
// lines without a blank and lines whose number is not a decimal number of at
// most 65535 are skipped: a number that wrapped would name another diagram.
std::vector<DiagramEntry> readDiagramMap(const std::vector<std::string>& lines);

// The diagram number of a DiagramName such as "diagram_0007": characters 9-12,
// when they are four decimal digits.
std::optional<std::uint16_t> diagramNumber(std::string_view diagramName);

// The name a picture is looked for under when no entry names the diagram.
inline constexpr std::string_view kDefaultPictureName = "$.jpg";

// The file of the last entry that carries the diagram's number, else "$.jpg".
std::string pictureName(const std::vector<DiagramEntry>& map, std::string_view diagramName);

// What kind of picture a file name announces by its extension (any case).
enum class PictureKind { Jpeg, Bitmap, Icon, Metafile, Unknown };
PictureKind pictureKind(std::string_view fileName);

// The diagram window fitted around its image and re-centred on its old centre
// (outer sizes; the image and button in client coordinates).
struct DiagramWindowPlace {
  int outerWidth = 0;   // image width + 19
  int outerHeight = 0;  // image height + 80
  int buttonLeft = 0;   // "Вернуться" centred on the outer width
  int buttonTop = 0;    // image height + 20
  int left = 0;         // never left of or above the screen's origin
  int top = 0;
};
DiagramWindowPlace placeDiagramWindow(int imageWidth, int imageHeight, int oldLeft, int oldTop,
                                      int oldOuterWidth, int oldOuterHeight, int buttonWidth);
