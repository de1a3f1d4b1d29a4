#pragma once
// Sizes and places that grow with the length of a text or the number of lines
// are figured in 64 bits and clamped to what a window system can place, so that
// a huge line in a course file neither overflows nor hands a widget an absurd size.
#include <algorithm>
#include <cstddef>
#include <cstdint>

inline constexpr int kMaxPixels = 32767;  // the largest coordinate X11 can hold

constexpr int clampPixels(std::int64_t value) {
  return static_cast<int>(std::clamp<std::int64_t>(value, -kMaxPixels, kMaxPixels));
}

// count * step + offset: a width from a length of text, a top from a line number.
constexpr int pixelsFor(std::size_t count, int step, int offset) {
  // Any count beyond this already clamps, and its product stays far inside 64 bits.
  constexpr std::size_t kCountCap = std::size_t{1} << 32;
  const auto n = static_cast<std::int64_t>(std::min(count, kCountCap));
  return clampPixels(n * step + offset);
}
