#include "platform/jpeg_decoder.h"

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <utility>

#include <jpeglib.h>

namespace {

// A forged progressive file must not make us decode for minutes.
constexpr int kMaxScans = 1000;
// libjpeg's own buffers (a multi-scan picture keeps all its coefficients) stay
// below this; beyond it libjpeg stops with an error instead of filling gigabytes.
constexpr long kMaxDecoderMemory = 512L * 1024 * 1024;

// libjpeg's own error handler ends the process; this one jumps back to the
// decoder instead, and counts the warnings a damaged file produces.
struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf back;
  int warnings;
};

[[noreturn]] void jumpBack(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->back, 1);
}

void countWarning(j_common_ptr cinfo, int level) {
  if (level < 0) ++reinterpret_cast<ErrorManager*>(cinfo->err)->warnings;
}

void limitScans(j_common_ptr cinfo) {
  if (cinfo->is_decompressor &&
      reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans)
    jumpBack(cinfo);
}

// Everything that needs destroying lives outside the setjmp frame.
struct Decoder {
  jpeg_decompress_struct cinfo{};
  ErrorManager errors{};
  jpeg_progress_mgr progress{};
  RgbPixels pixels;
  bool created = false;
  ~Decoder() {
    if (created) jpeg_destroy_decompress(&cinfo);
  }
};

// Returns false when libjpeg gave up; the caller then throws the pixels away.
bool decodeInto(Decoder& d, const unsigned char* data, unsigned long size) {
  if (setjmp(d.errors.back)) return false;
  jpeg_create_decompress(&d.cinfo);
  d.created = true;
  d.cinfo.progress = &d.progress;  // creating the decompressor cleared it
  d.cinfo.mem->max_memory_to_use = kMaxDecoderMemory;
  jpeg_mem_src(&d.cinfo, data, size);
  jpeg_read_header(&d.cinfo, TRUE);
  // A forged size is refused before libjpeg sets up its buffers for it.
  const std::uint64_t declared =
      std::uint64_t{d.cinfo.image_width} * std::uint64_t{d.cinfo.image_height};
  if (declared > kMaxPicturePixels) return false;
  d.cinfo.out_color_space = JCS_RGB;
  jpeg_start_decompress(&d.cinfo);
  const std::uint64_t pixels =
      std::uint64_t{d.cinfo.output_width} * std::uint64_t{d.cinfo.output_height};
  if (pixels == 0 || pixels > kMaxPicturePixels || d.cinfo.output_components != 3) return false;
  d.pixels.width = static_cast<int>(d.cinfo.output_width);
  d.pixels.height = static_cast<int>(d.cinfo.output_height);
  const std::size_t stride = std::size_t{d.cinfo.output_width} * 3;
  d.pixels.rgb.resize(stride * d.cinfo.output_height);
  while (d.cinfo.output_scanline < d.cinfo.output_height) {
    JSAMPROW row = d.pixels.rgb.data() + stride * d.cinfo.output_scanline;
    jpeg_read_scanlines(&d.cinfo, &row, 1);
  }
  jpeg_finish_decompress(&d.cinfo);
  return true;
}

}  // namespace

std::optional<RgbPixels> decodeJpegPixels(const unsigned char* data, std::size_t size) {
  if (size == 0) return std::nullopt;
  Decoder d;
  d.cinfo.err = jpeg_std_error(&d.errors.base);
  d.errors.base.error_exit = jumpBack;
  d.errors.base.emit_message = countWarning;
  d.progress.progress_monitor = limitScans;
  if (!decodeInto(d, data, static_cast<unsigned long>(size))) return std::nullopt;
  if (d.errors.warnings > 0) return std::nullopt;
  return std::move(d.pixels);
}
