#pragma once
// JPEG decoding through libjpeg, without Qt: the diagram window shows the
// pixels, the course checker only asks whether a picture decodes at all.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// Beyond these a picture is taken as damaged: no diagram needs them, and a
// forged header must not make us allocate gigabytes or read for minutes.
inline constexpr std::uint64_t kMaxPicturePixels = 50'000'000;
inline constexpr std::uint64_t kMaxPictureFileBytes = 256 * 1024 * 1024;

struct JpegPicture {
  unsigned width = 0;
  unsigned height = 0;
  std::vector<unsigned char> rgb;  // height rows of width * 3 bytes, top row first
};

// Decodes JPEG bytes. A damaged or truncated picture (libjpeg only warns about
// the latter and pads it with grey) gives nullopt, as does one too large to hold.
std::optional<JpegPicture> decodeJpegRgb(const char* data, std::size_t size);
