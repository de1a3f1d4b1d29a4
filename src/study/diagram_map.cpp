#include "study/diagram_map.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

#include "bank/range_file.h"
#include "platform/text_file.h"

namespace {

// A decimal number of 1 to 5 digits up to 65535; leading zeros are allowed.
std::optional<std::uint16_t> decimal16(std::string_view text) {
  if (text.empty()) return std::nullopt;
  unsigned value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<unsigned>(c - '0');
    if (value > UINT16_MAX) return std::nullopt;
  }
  return static_cast<std::uint16_t>(value);
}

std::string lowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

}  // namespace

std::vector<DiagramEntry> readDiagramMap(const std::vector<std::string>& lines) {
  std::vector<DiagramEntry> map;
  for (const std::string& line : lines) {
    const std::size_t blank = line.find(' ');
    if (blank == std::string::npos) continue;
    const auto number = decimal16(std::string_view(line).substr(0, blank));
    if (!number) continue;
    map.push_back({*number, line.substr(blank + 1)});
  }
  return map;
}

Expected<std::vector<DiagramEntry>, DataError> loadDiagramMap(const std::string& path) {
  const auto lines = readLines(path);
  if (!lines) return Unexpected{lines.error()};
  return readDiagramMap(*lines);
}

std::optional<std::uint16_t> diagramNumber(std::string_view diagramName) {
  if (diagramName.size() < 12) return std::nullopt;
  return decimal16(diagramName.substr(8, 4));
}

std::string pictureName(const std::vector<DiagramEntry>& map, std::string_view diagramName) {
  std::string name(kDefaultPictureName);
  const auto number = diagramNumber(diagramName);
  if (!number) return name;
  for (const DiagramEntry& entry : map)
    if (entry.number == *number) name = entry.file;
  return name;
}

PictureKind pictureKind(std::string_view fileName) {
  const std::size_t dot = fileName.rfind('.');
  if (dot == std::string_view::npos) return PictureKind::Unknown;
  const std::string extension = lowerAscii(fileName.substr(dot + 1));
  if (extension == "jpg" || extension == "jpeg") return PictureKind::Jpeg;
  if (extension == "png") return PictureKind::Png;
  if (extension == "bmp") return PictureKind::Bitmap;
  if (extension == "ico") return PictureKind::Icon;
  if (extension == "wmf" || extension == "emf") return PictureKind::Metafile;
  return PictureKind::Unknown;
}

DiagramWindowPlace placeDiagramWindow(int pictureWidth, int pictureHeight, int oldLeft, int oldTop,
                                      int oldOuterWidth, int oldOuterHeight, int buttonWidth,
                                      const ScreenArea& screen) {
  constexpr int kFrameWidth = 19;
  constexpr int kFrameHeight = 80;
  DiagramWindowPlace place;
  place.imageWidth = pictureWidth;
  place.imageHeight = pictureHeight;
  if (screen.width > 0 && screen.height > 0) {
    const std::int64_t roomWidth = std::max(1, screen.width - kFrameWidth);
    const std::int64_t roomHeight = std::max(1, screen.height - kFrameHeight);
    const std::int64_t w = std::max(1, pictureWidth);
    const std::int64_t h = std::max(1, pictureHeight);
    if (w > roomWidth || h > roomHeight) {
      // The side that is tighter for its room decides the scale.
      if (w * roomHeight >= h * roomWidth) {
        place.imageWidth = static_cast<int>(roomWidth);
        place.imageHeight = static_cast<int>(std::max<std::int64_t>(1, h * roomWidth / w));
      } else {
        place.imageHeight = static_cast<int>(roomHeight);
        place.imageWidth = static_cast<int>(std::max<std::int64_t>(1, w * roomHeight / h));
      }
    }
  }
  place.outerWidth = place.imageWidth + kFrameWidth;
  place.outerHeight = place.imageHeight + kFrameHeight;
  place.buttonLeft = (place.outerWidth - buttonWidth) / 2;
  place.buttonTop = place.imageHeight + 20;
  const WindowPlace centred =
      recentre(oldLeft, oldTop, oldOuterWidth, oldOuterHeight, place.outerWidth, place.outerHeight);
  place.left = centred.left;
  place.top = centred.top;
  if (screen.width > 0 && screen.height > 0) {
    place.left =
        std::max(screen.left, std::min(place.left, screen.left + screen.width - place.outerWidth));
    place.top =
        std::max(screen.top, std::min(place.top, screen.top + screen.height - place.outerHeight));
  }
  return place;
}
