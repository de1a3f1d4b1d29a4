// The JPEG decoder on good, damaged and random bytes: a picture or nothing,
// never a crash or an endless wait.
#include <QtTest>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>

#include <jpeglib.h>

#include "platform/ui/picture.h"

namespace {
std::string sampleJpeg() {
  std::ifstream in(std::string(SAMPLE_COURSE_DIR) + "/diagram2.jpg", std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A 16 x 16 picture of one colour given as four inks, written by libjpeg in the
// stored colour space, as print and layout tools write them.
std::string inkJpeg(J_COLOR_SPACE stored, std::array<unsigned char, 4> inks, bool adobeMarker) {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr errors{};
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = cinfo.image_height = 16;
  cinfo.input_components = 4;
  cinfo.in_color_space = JCS_CMYK;
  jpeg_set_defaults(&cinfo);
  jpeg_set_colorspace(&cinfo, stored);
  cinfo.write_Adobe_marker = adobeMarker ? TRUE : FALSE;
  jpeg_start_compress(&cinfo, TRUE);
  std::array<unsigned char, 16 * 4> row{};
  for (std::size_t i = 0; i < row.size(); ++i) row[i] = inks[i % 4];
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW rows[] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::string bytes(reinterpret_cast<const char*>(buffer), size);
  std::free(buffer);
  return bytes;
}
}  // namespace

class PictureTest : public QObject {
  Q_OBJECT

 private slots:
  void aJpegIsDecodedOrRefused_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("size");     // empty: refused
    QTest::addColumn<QColor>("colour");  // of the top left pixel, when valid
    const QByteArray sample = QByteArray::fromStdString(sampleJpeg());
    const QSize sampleSize(460, 320);
    // Cyan none, magenta and yellow full, black a quarter: a dark red.
    const QColor darkRed(191, 0, 0);
    const std::array<unsigned char, 4> inks = {0, 255, 255, 64};
    const std::array<unsigned char, 4> invertedInks = {255, 0, 0, 191};
    QTest::newRow("sample") << sample << sampleSize << QColor();
    QByteArray stray = sample;
    stray.insert(stray.indexOf("\xFF\xDB"), "\x00\x11\x22", 3);
    QTest::newRow("stray bytes before a marker") << stray << sampleSize << QColor();
    QTest::newRow("cut in the scan data, padded")
        << sample.left(sample.size() * 3 / 4) << sampleSize << QColor();
    QTest::newRow("cut in the header") << sample.left(100) << QSize() << QColor();
    QTest::newRow("not a picture") << QByteArray("\xFF\xD8 hello") << QSize() << QColor();
    QTest::newRow("CMYK, Adobe's inverted inks")
        << QByteArray::fromStdString(inkJpeg(JCS_CMYK, invertedInks, true)) << QSize(16, 16)
        << darkRed;
    QTest::newRow("CMYK without Adobe's marker")
        << QByteArray::fromStdString(inkJpeg(JCS_CMYK, inks, false)) << QSize(16, 16) << darkRed;
    QTest::newRow("YCCK") << QByteArray::fromStdString(inkJpeg(JCS_YCCK, invertedInks, true))
                          << QSize(16, 16) << darkRed;
  }

  void aJpegIsDecodedOrRefused() {
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, size);
    QFETCH(QColor, colour);
    const auto image = decodeJpeg(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    QCOMPARE(image.has_value(), size.isValid());
    if (!image) return;
    QCOMPARE(image->size(), size);
    if (!colour.isValid()) return;
    const QColor got = image->pixelColor(0, 0);
    QVERIFY2(std::abs(got.red() - colour.red()) <= 4 &&
                 std::abs(got.green() - colour.green()) <= 4 &&
                 std::abs(got.blue() - colour.blue()) <= 4,
             qPrintable(got.name()));
  }

  void damagedAndRandomBytesNeverCrash() {
    const std::string jpeg = sampleJpeg();
    std::mt19937 engine(7);
    int decoded = 0;
    for (int round = 0; round < 1500; ++round) {
      std::string bytes = jpeg;
      for (int flips = 1 + static_cast<int>(engine() % 8); flips > 0; --flips)
        bytes[engine() % bytes.size()] = static_cast<char>(engine());
      if (decodeJpeg(bytes.data(), bytes.size())) ++decoded;
    }
    for (int round = 0; round < 1500; ++round) {
      std::string bytes(engine() % 300, '\0');
      for (char& c : bytes) c = static_cast<char>(engine());
      if (round % 2) bytes.insert(0, "\xFF\xD8\xFF\xDB");  // a JPEG start, then noise
      QVERIFY(!decodeJpeg(bytes.data(), bytes.size()));
    }
    QVERIFY(decoded < 1500);
  }

  void aForgedMultiScanPictureIsRefusedAtOnce() {
    // 449 bytes declaring 47128 x 63768 pixels in separate scans once made libjpeg
    // clear gigabytes of coefficients before the size was looked at.
    std::ifstream in(std::string(TEST_DATA_DIR) + "/forged_multiscan.jpg", std::ios::binary);
    const std::string jpeg{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    QCOMPARE(jpeg.size(), std::size_t{449});
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!decodeJpeg(jpeg.data(), jpeg.size()));
    QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
  }

  void aForgedHugeSizeIsRefused() {
    std::string jpeg = sampleJpeg();
    // The baseline frame header: FF C0, length, precision, height, width.
    const std::size_t sof = jpeg.find("\xFF\xC0");
    QVERIFY(sof != std::string::npos);
    jpeg[sof + 5] = jpeg[sof + 6] = '\xFF';
    jpeg[sof + 7] = jpeg[sof + 8] = '\xFF';
    QVERIFY(!decodeJpeg(jpeg.data(), jpeg.size()));
  }
};

QTEST_GUILESS_MAIN(PictureTest)
#include "picture_test.moc"
