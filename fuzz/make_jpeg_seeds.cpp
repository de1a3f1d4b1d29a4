// Writes a few small JPEG files (baseline, grey, progressive, with restart
// markers) as seeds for the decoder's fuzz target: small seeds keep it fast.
#include <cstdio>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace {

void write(const std::string& path, int width, int height, int components, bool progressive,
           int restartRows) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return;
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr errors{};
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  jpeg_stdio_dest(&cinfo, file);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = components;
  cinfo.in_color_space = components == 3 ? JCS_RGB : JCS_GRAYSCALE;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 75, TRUE);
  if (progressive) jpeg_simple_progression(&cinfo);
  cinfo.restart_in_rows = restartRows;
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<JSAMPLE> row(static_cast<std::size_t>(width * components));
  while (cinfo.next_scanline < cinfo.image_height) {
    for (std::size_t i = 0; i < row.size(); ++i)
      row[i] = static_cast<JSAMPLE>((i * 7 + cinfo.next_scanline * 13) & 0xFF);
    JSAMPROW rows[] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::fclose(file);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::string dir = argv[1];
  write(dir + "/rgb16", 16, 16, 3, false, 0);
  write(dir + "/grey8", 8, 8, 1, false, 0);
  write(dir + "/progressive", 32, 8, 3, true, 0);
  write(dir + "/restarts", 24, 24, 3, false, 1);
  return 0;
}
