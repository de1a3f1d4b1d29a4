// graph.txt read as a diagram map, a diagram name looked up in it, and the
// diagram window placed around an image of a size the input gives.
#include <algorithm>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "platform/text_file.h"
#include "study/diagram_map.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string> parts = splitFiles(data, size);
  const std::string& diagramName = parts[0];
  const std::vector<DiagramEntry> map =
      readDiagramMap(splitLines(parts.size() > 1 ? parts[1] : std::string()));
  const std::string name = pictureName(map, diagramName);
  (void)pictureKind(name);
  for (const DiagramEntry& entry : map) (void)pictureKind(entry.file);
  if (const auto number = diagramNumber(diagramName)) FUZZ_CHECK(*number <= 9999);

  // A decoded picture is at most 65535 pixels wide or high (JPEG) and Qt's
  // readers are held to the same pixel budget.
  const int width = static_cast<int>(size * 37 % 65536);
  const int height = static_cast<int>(name.size() * 101 % 65536);
  const ScreenArea screen{0, 0, 1 + static_cast<int>(size * 53 % 4096),
                          1 + static_cast<int>(size * 59 % 4096)};
  const DiagramWindowPlace place =
      placeDiagramWindow(width, height, 100, 100, 400, 300, 75, screen);
  FUZZ_CHECK(place.left >= 0 && place.top >= 0 && place.outerWidth == place.imageWidth + 19);
  FUZZ_CHECK(place.imageWidth >= 1 || width == 0);
  FUZZ_CHECK(place.outerWidth <= std::max(screen.width, 20) &&
             place.outerHeight <= std::max(screen.height, 81));
  return 0;
}
