#pragma once
// Picture files for the diagram window: JPEG through libjpeg, bitmaps and
// icons through Qt's image reader. A file that cannot be decoded gives no
// image, never a crash or an endless wait.
#include <QImage>
#include <QString>
#include <cstddef>
#include <optional>

// Decodes JPEG bytes. A damaged or truncated picture (libjpeg only warns about
// the latter and pads it with grey) gives nullopt, as does one too large to hold.
std::optional<QImage> decodeJpeg(const char* data, std::size_t size);

enum class PictureFormat { Jpeg, QtReadable, Unsupported };

// Reads the picture at path (a name in the file system's own encoding) as the
// given format; nullopt when it cannot be read or decoded.
std::optional<QImage> readPicture(const QString& path, PictureFormat format);
