#include "mimic/backgroundpicture.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include "mimic/mimicerror.h"

QImage ReadBackgroundPicture(const QString& path) {
  const QString ext = QFileInfo(path).suffix().toUpper();
  QByteArray format;
  if (ext == QLatin1String("BMP")) format = "bmp";
  else if (ext == QLatin1String("JPG")) format = "jpeg";
  else throw EMimicError(QStringLiteral("Image format not recognised"));

  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    throw EMimicError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()));
  QImageReader reader(&file, format);
  reader.setDecideFormatFromContent(false);
  QImage picture = reader.read();
  if (picture.isNull())
    throw EMimicError(QStringLiteral("Cannot read picture \"%1\". %2").arg(path, reader.errorString()));
  return picture;
}
