#include "platform/picture.h"

#include <QFile>
#include <QImageReader>
#include <cstring>

#include "platform/jpeg.h"

std::optional<QImage> decodeJpeg(const char* data, std::size_t size) {
  const std::optional<JpegPicture> picture = decodeJpegRgb(data, size);
  if (!picture) return std::nullopt;
  QImage image(static_cast<int>(picture->width), static_cast<int>(picture->height),
               QImage::Format_RGB888);
  if (image.isNull()) return std::nullopt;
  const std::size_t stride = std::size_t{picture->width} * 3;
  for (unsigned y = 0; y < picture->height; ++y)
    std::memcpy(image.scanLine(static_cast<int>(y)), picture->rgb.data() + stride * y, stride);
  return image;
}

std::optional<QImage> readPicture(const QString& path, PictureFormat format) {
  switch (format) {
    case PictureFormat::Jpeg: {
      QFile file(path);
      if (!file.open(QIODevice::ReadOnly) ||
          static_cast<std::uint64_t>(file.size()) > kMaxPictureFileBytes)
        return std::nullopt;
      const QByteArray bytes = file.readAll();
      return decodeJpeg(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    }
    case PictureFormat::QtReadable: {
      QImageReader reader(path);
      reader.setAllocationLimit(static_cast<int>(kMaxPicturePixels * 4 / (1024 * 1024)));
      QImage image = reader.read();
      if (image.isNull()) return std::nullopt;
      return image;
    }
    case PictureFormat::Unsupported:
      break;
  }
  return std::nullopt;
}
