// The JPEG decoder on good, damaged and random bytes: a picture or nothing,
// never a crash or an endless wait.
#include <QtTest>
#include <fstream>
#include <random>

#include "platform/picture.h"

namespace {
std::string sampleJpeg() {
  std::ifstream in(std::string(SAMPLE_COURSE_DIR) + "/diagram2.jpg", std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
}  // namespace

class PictureTest : public QObject {
  Q_OBJECT

 private slots:
  void aGoodJpegDecodesToItsSize() {
    const std::string jpeg = sampleJpeg();
    const auto image = decodeJpeg(jpeg.data(), jpeg.size());
    QVERIFY(image);
    QCOMPARE(image->size(), QSize(460, 320));
  }

  void everyTruncationIsRefused() {
    const std::string jpeg = sampleJpeg();
    // Cutting before the end-of-image marker leaves libjpeg only warning.
    for (std::size_t length = 0; length + 2 < jpeg.size(); length += 97)
      QVERIFY2(!decodeJpeg(jpeg.data(), length), qPrintable(QString::number(length)));
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
