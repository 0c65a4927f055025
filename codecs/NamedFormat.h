#pragma once
// Reading an image whose format is known. Qt's reader, allowed to guess,
// asks every image plugin whether it can read the data, loading each plugin
// (and the SVG library) the first time, before it takes the one the format
// names: some milliseconds at start-up. These read by the named format alone.

#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QString>

namespace lugatim::codecs {

// Makes the reader read by its format ("png", "gif", "bmp") alone.
void ReadByFormatOnly(QImageReader& reader);

// The image in the file or the bytes, null when they are not of the format.
QImage ReadImageFile(const QString& file, const char* format);
QImage ReadImageData(const QByteArray& bytes, const char* format);

}  // namespace lugatim::codecs
