#pragma once
// graph.txt, the diagram map: which picture file shows which diagram, and the
// size and place of the window that shows it.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/data_error.h"
#include "platform/expected.h"

struct DiagramEntry {
  std::uint16_t number = 0;
  std::string file;  // code page 1251, exactly as written (blanks included)
};

// One entry per line "number blank file name", in file order. Empty lines,
// lines without a blank and lines whose number is not a decimal number of at
// most 65535 are skipped: a number that wrapped would name another diagram.
std::vector<DiagramEntry> readDiagramMap(const std::vector<std::string>& lines);
// The same from the file at path; fails as readLines does.
Expected<std::vector<DiagramEntry>, DataError> loadDiagramMap(const std::string& path);

// The diagram number of a DiagramName such as "diagram_0007": characters 9-12,
// when they are four decimal digits.
std::optional<std::uint16_t> diagramNumber(std::string_view diagramName);

// The name a picture is looked for under when no entry names the diagram.
inline constexpr std::string_view kDefaultPictureName = "$.jpg";

// The file of the last entry that carries the diagram's number, else "$.jpg".
std::string pictureName(const std::vector<DiagramEntry>& map, std::string_view diagramName);

// What kind of picture a file name announces by its extension (any case).
enum class PictureKind { Jpeg, Png, Bitmap, Icon, Metafile, Unknown };
PictureKind pictureKind(std::string_view fileName);

// The part of the screen a window may take (the screen's available area).
struct ScreenArea {
  int left = 0;
  int top = 0;
  int width = 0;  // 0: not known, nothing is fitted
  int height = 0;
};

// The diagram window fitted around its image and re-centred on its old centre
// (outer sizes; the image and button in client coordinates). A picture whose
// window would not fit the screen is shown scaled down, keeping its proportions.
struct DiagramWindowPlace {
  int imageWidth = 0;  // the picture's own size, or scaled down to fit
  int imageHeight = 0;
  int outerWidth = 0;   // image width + 19
  int outerHeight = 0;  // image height + 80
  int buttonLeft = 0;   // "Вернуться" centred on the outer width
  int buttonTop = 0;    // image height + 20
  int left = 0;         // never left of or above the screen's origin, nor past the screen
  int top = 0;
};
DiagramWindowPlace placeDiagramWindow(int pictureWidth, int pictureHeight, int oldLeft, int oldTop,
                                      int oldOuterWidth, int oldOuterHeight, int buttonWidth,
                                      const ScreenArea& screen);
