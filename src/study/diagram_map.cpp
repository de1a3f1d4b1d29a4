#include "study/diagram_map.h"

#include <algorithm>
#include <cctype>

#include "bank/range_file.h"

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
  if (extension == "bmp") return PictureKind::Bitmap;
  if (extension == "ico") return PictureKind::Icon;
  if (extension == "wmf" || extension == "emf") return PictureKind::Metafile;
  return PictureKind::Unknown;
}

DiagramWindowPlace placeDiagramWindow(int imageWidth, int imageHeight, int oldLeft, int oldTop,
                                      int oldOuterWidth, int oldOuterHeight, int buttonWidth) {
  DiagramWindowPlace place;
  place.outerWidth = imageWidth + 19;
  place.outerHeight = imageHeight + 80;
  place.buttonLeft = (place.outerWidth - buttonWidth) / 2;
  place.buttonTop = imageHeight + 20;
  const WindowPlace centred = recentre(oldLeft, oldTop, oldOuterWidth, oldOuterHeight,
                                       place.outerWidth, place.outerHeight);
  place.left = centred.left;
  place.top = centred.top;
  return place;
}
