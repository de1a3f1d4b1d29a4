#include "platform/ui/picture.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <cstring>

#include "platform/cp1251.h"
#include "platform/jpeg_decoder.h"

namespace {

std::string bareName(const QString& path) {
  return QFile::encodeName(QFileInfo(path).fileName()).toStdString();
}

Unexpected<DataError> pictureFault(DataError::Code code, const QString& path,
                                   std::string_view utf8What) {
  return Unexpected{DataError{code, bareName(path), 0, cp(utf8What)}};
}

const char* const kUnreadable = "файл не удается прочитать.";

}  // namespace

Expected<QImage, DataError> decodeJpeg(const char* data, std::size_t size) {
  auto pixels = decodeJpegPixels(reinterpret_cast<const unsigned char*>(data), size);
  if (!pixels) return Unexpected{pixels.error()};
  QImage image(pixels->width, pixels->height, QImage::Format_RGB888);
  if (image.isNull())
    return Unexpected{DataError{DataError::Code::BadPicture, "", 0, cp("рисунок слишком велик.")}};
  // QImage pads its rows to four bytes, so the rows are copied one by one.
  const std::size_t stride = static_cast<std::size_t>(pixels->width) * 3;
  for (int y = 0; y < pixels->height; ++y)
    std::memcpy(image.scanLine(y), pixels->rgb.data() + stride * static_cast<std::size_t>(y),
                stride);
  return image;
}

Expected<QImage, DataError> readPicture(const QString& path, PictureFormat format) {
  // Only a regular file is opened: a FIFO or a device in the course folder would
  // make the reader wait or read forever.
  if (!QFileInfo(path).isFile())
    return pictureFault(DataError::Code::FileMissing, path, "файл не найден.");
  switch (format) {
    case PictureFormat::Jpeg: {
      QFile file(path);
      if (!file.open(QIODevice::ReadOnly))
        return pictureFault(DataError::Code::CannotRead, path, kUnreadable);
      if (static_cast<std::uint64_t>(file.size()) > kMaxPictureFileBytes)
        return pictureFault(DataError::Code::BadPicture, path, "файл слишком велик для рисунка.");
      const QByteArray bytes = file.readAll();
      auto image = decodeJpeg(bytes.constData(), static_cast<std::size_t>(bytes.size()));
      if (!image) {
        DataError fault = image.error();
        fault.file = bareName(path);
        return Unexpected{std::move(fault)};
      }
      return image;
    }
    case PictureFormat::Png:
    case PictureFormat::Bitmap:
    case PictureFormat::Icon: {
      // Only the format the name announces: the course checker tells a file
      // that is not what its name says, and Qt's other readers stay out of reach.
      const char* name = format == PictureFormat::Png      ? "png"
                         : format == PictureFormat::Bitmap ? "bmp"
                                                           : "ico";
      QImageReader reader(path, name);
      reader.setAutoDetectImageFormat(false);
      reader.setAllocationLimit(static_cast<int>(kMaxPicturePixels * 4 / (1024 * 1024)));
      QImage image = reader.read();
      if (image.isNull())
        return reader.error() == QImageReader::DeviceError
                   ? pictureFault(DataError::Code::CannotRead, path, kUnreadable)
                   : pictureFault(DataError::Code::BadPicture, path, "файл поврежден.");
      return image;
    }
    case PictureFormat::Unsupported:
      break;
  }
  return pictureFault(DataError::Code::UnsupportedFormat, path,
                      "формат рисунка не поддерживается: нужен JPEG, PNG, BMP или ICO.");
}
