#include "platform/text_width.h"

#include <algorithm>

#include "platform/pixels.h"

namespace {

int kerning(const FontTable& table, int first, int second) {
  const auto key = static_cast<std::uint16_t>(first << 8 | second);
  const auto found = std::lower_bound(
      table.kerning.begin(), table.kerning.end(), key,
      [](const KernPair& entry, std::uint16_t wanted) { return entry.pair < wanted; });
  return found != table.kerning.end() && found->pair == key ? found->value : 0;
}

}  // namespace

void LineWidth::add(unsigned char c) {
  const Script script = byteScripts()[c];
  // A letter of another script starts a new run, and no kerning reaches across.
  const bool newRun = script != Script::Common && run_ != Script::Common && script != run_;
  if (previous_ >= 0 && !newRun) width_ += kerning(*table_, previous_, c);
  if (script != Script::Common) run_ = script;
  width_ += table_->advances[c];
  previous_ = c;
}

int LineWidth::pixels() const { return clampPixels((width_ + 63) / 64); }

int textWidth(std::string_view text, Face face) {
  LineWidth width(face);
  width.add(text);
  return width.pixels();
}
