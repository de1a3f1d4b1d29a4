#pragma once
// JPEG decoding through libjpeg, without Qt, so that the decoder can be tested
// and fuzzed on its own. A file that cannot be decoded gives the reason, never a
// crash or an endless wait.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/data_error.h"
#include "platform/expected.h"

// Beyond this a picture is taken as damaged: no diagram needs it, and a forged
// header must not make us allocate gigabytes.
inline constexpr std::uint64_t kMaxPicturePixels = 50'000'000;
// Nor is a picture file larger than this read at all.
inline constexpr std::uint64_t kMaxPictureFileBytes = 256 * 1024 * 1024;

struct RgbPixels {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgb;  // height rows of width * 3 bytes, top row first
  bool cutShort = false;           // the file ended early; the rest of the picture is grey
};

// Decodes JPEG bytes, CMYK and YCCK pictures converted to RGB. A picture libjpeg
// only warns about (stray bytes, a file cut short and padded with grey) is kept;
// one it cannot decode is BadPicture, as is one too large to hold. The error
// names no file: the caller knows where the bytes came from.
Expected<RgbPixels, DataError> decodeJpegPixels(const unsigned char* data, std::size_t size);
