#include "platform/jpeg_decoder.h"

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <utility>
#include <vector>

#include <jpeglib.h>
// after jpeglib.h, which it needs
#include <jerror.h>

#include "platform/cp1251.h"

namespace {

// A forged progressive file must not make us decode for minutes.
constexpr int kMaxScans = 1000;
// libjpeg's own buffers (a multi-scan picture keeps all its coefficients) stay
// below this; beyond it libjpeg stops with an error instead of filling gigabytes.
constexpr long kMaxDecoderMemory = 512L * 1024 * 1024;

// libjpeg's own error handler ends the process; this one jumps back to the
// decoder instead.
struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf back;
  bool cutShort = false;
};

[[noreturn]] void jumpBack(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->back, 1);
}

// Warnings (stray bytes before a marker, a file cut short that libjpeg pads
// with grey) still leave a picture: everyday tools write such files. A file cut
// short is remembered, for the course checker to tell its author.
void ignoreMessage(j_common_ptr cinfo, int level) {
  if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF)
    reinterpret_cast<ErrorManager*>(cinfo->err)->cutShort = true;
}

void limitScans(j_common_ptr cinfo) {
  if (cinfo->is_decompressor &&
      reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans)
    jumpBack(cinfo);
}

// Light left after cyan, magenta, yellow and black ink: each colour is what its
// own ink and the black ink let through.
void inksToRgb(const JSAMPLE* inks, unsigned char* rgb, JDIMENSION width, bool inverted) {
  for (JDIMENSION x = 0; x < width; ++x, inks += 4, rgb += 3) {
    const unsigned k = inverted ? inks[3] : 255u - inks[3];
    for (int c = 0; c < 3; ++c) {
      const unsigned light = inverted ? inks[c] : 255u - inks[c];
      rgb[c] = static_cast<unsigned char>((light * k + 127) / 255);
    }
  }
}

// Everything that needs destroying lives outside the setjmp frame.
struct Decoder {
  jpeg_decompress_struct cinfo{};
  ErrorManager errors{};
  jpeg_progress_mgr progress{};
  RgbPixels pixels;
  std::vector<JSAMPLE> inkRow;  // one row of a CMYK picture before it becomes RGB
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
  // libjpeg gives CMYK and YCCK pictures (print and layout tools save them) only as CMYK.
  const bool ink = d.cinfo.jpeg_color_space == JCS_CMYK || d.cinfo.jpeg_color_space == JCS_YCCK;
  d.cinfo.out_color_space = ink ? JCS_CMYK : JCS_RGB;
  jpeg_start_decompress(&d.cinfo);
  const std::uint64_t pixels =
      std::uint64_t{d.cinfo.output_width} * std::uint64_t{d.cinfo.output_height};
  if (pixels == 0 || pixels > kMaxPicturePixels || d.cinfo.output_components != (ink ? 4 : 3))
    return false;
  d.pixels.width = static_cast<int>(d.cinfo.output_width);
  d.pixels.height = static_cast<int>(d.cinfo.output_height);
  const std::size_t stride = std::size_t{d.cinfo.output_width} * 3;
  d.pixels.rgb.resize(stride * d.cinfo.output_height);
  if (ink) d.inkRow.resize(std::size_t{d.cinfo.output_width} * 4);
  // Adobe's tools store the inks inverted (255 = no ink) and mark the file with
  // their marker; that is how other viewers read such files too.
  const bool inverted = d.cinfo.saw_Adobe_marker;
  while (d.cinfo.output_scanline < d.cinfo.output_height) {
    unsigned char* out = d.pixels.rgb.data() + stride * d.cinfo.output_scanline;
    JSAMPROW row = ink ? d.inkRow.data() : out;
    jpeg_read_scanlines(&d.cinfo, &row, 1);
    if (ink) inksToRgb(d.inkRow.data(), out, d.cinfo.output_width, inverted);
  }
  jpeg_finish_decompress(&d.cinfo);
  return true;
}

}  // namespace

Expected<RgbPixels, DataError> decodeJpegPixels(const unsigned char* data, std::size_t size) {
  const Unexpected refused{DataError{DataError::Code::BadPicture, "", 0,
                                     cp("файл поврежден: его не удается прочитать как JPEG.")}};
  if (size == 0) return refused;
  Decoder d;
  d.cinfo.err = jpeg_std_error(&d.errors.base);
  d.errors.base.error_exit = jumpBack;
  d.errors.base.emit_message = ignoreMessage;
  d.progress.progress_monitor = limitScans;
  if (!decodeInto(d, data, static_cast<unsigned long>(size))) return refused;
  d.pixels.cutShort = d.errors.cutShort;
  return std::move(d.pixels);
}
