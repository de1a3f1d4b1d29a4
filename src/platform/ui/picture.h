#pragma once
// Picture files for the diagram window: JPEG through libjpeg, PNG, bitmaps and
// icons through Qt's image reader. A file that cannot be decoded gives no
// image, never a crash or an endless wait.
#include <QImage>
#include <QString>
#include <cstddef>
#include <optional>

// Decodes JPEG bytes, as decodeJpegPixels does.
std::optional<QImage> decodeJpeg(const char* data, std::size_t size);

enum class PictureFormat { Jpeg, Png, Bitmap, Icon, Unsupported };

// Reads the picture at path (a name in the file system's own encoding) as the
// given format and no other; nullopt when it cannot be read or decoded.
std::optional<QImage> readPicture(const QString& path, PictureFormat format);
