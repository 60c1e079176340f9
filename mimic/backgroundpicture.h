#pragma once
// Reads the panel's background picture, chosen by its file name's extension.
#include <QImage>
#include <QString>

// ".BMP" reads a bitmap and ".JPG" a JPEG, in any case of letters. Throws
// EMimicError with "Image format not recognised" for any other extension, or with
// a text naming the file when it cannot be opened or decoded.
QImage ReadBackgroundPicture(const QString& path);
