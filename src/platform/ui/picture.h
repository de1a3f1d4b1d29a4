#pragma once
// Picture files for the diagram window: JPEG through libjpeg, PNG, bitmaps and
// icons through Qt's image reader. A file that cannot be decoded gives the
// reason, never a crash or an endless wait.
#include <QImage>
#include <QString>
#include <cstddef>

#include "platform/data_error.h"
#include "platform/expected.h"

// Decodes JPEG bytes, as decodeJpegPixels does.
Expected<QImage, DataError> decodeJpeg(const char* data, std::size_t size);

enum class PictureFormat { Jpeg, Png, Bitmap, Icon, Unsupported };

// Reads the picture at path (a name in the file system's own encoding) as the
// given format and no other. FileMissing when there is no regular file of that
// path, UnsupportedFormat for a format there is no reader for, CannotRead or
// BadPicture when it cannot be read or decoded; the error names the bare file.
Expected<QImage, DataError> readPicture(const QString& path, PictureFormat format);
