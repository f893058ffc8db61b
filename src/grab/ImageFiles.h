#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Writing grabbed images: 24-bit BMP or JPEG. A file is replaced only once all of it is written
// down to the disk; on any failure the old file stays whole and a French text tells why.

enum class TImageFileFormat { Bmp, Jpeg };

// The JPEG quality of a stored setting, brought into 1..100.
int JpegQuality(int aStoredValue);

// A 24-bit bottom-up BMP, rows padded to 4 bytes. The alpha channel is dropped. A null image
// gives the headers alone (0 x 0).
QByteArray EncodeBmp(const QImage& aImage);

// A baseline JPEG of 3 components (YCbCr from RGB) at aQuality (1..100). False with a text in
// aError when the encoder refuses the image (an empty one, for instance).
bool EncodeJpeg(const QImage& aImage, int aQuality, QByteArray& aBytes, QString& aError);

// Writes aBytes to aPath, replacing the file atomically. False with the system's reason.
bool WriteFileWhole(const QString& aPath, const QByteArray& aBytes, QString& aError);

// Encodes and writes. aQuality is a stored JPEG setting (see JpegQuality); BMP ignores it. On
// failure aError holds "Impossible d'enregistrer l'image <path> : <reason>".
bool SaveImageFile(const QImage& aImage, const QString& aPath, TImageFileFormat aFormat,
                   int aQuality, QString& aError);
