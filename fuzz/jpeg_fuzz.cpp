// The JPEG decoder on arbitrary bytes: a picture or nothing, never a crash.
#include "fuzz_input.h"
#include "platform/jpeg_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto pixels = decodeJpegPixels(data, size);
  if (!pixels) return 0;
  FUZZ_CHECK(pixels->width > 0 && pixels->height > 0);
  FUZZ_CHECK(pixels->rgb.size() == static_cast<std::size_t>(pixels->width) *
                                       static_cast<std::size_t>(pixels->height) * 3);
  return 0;
}
