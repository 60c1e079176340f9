#include "platform/textlines.h"

#include <QFile>
#include <QSaveFile>
#include <stdexcept>

std::vector<std::string> SplitTextLines(const std::string& bytes) {
  std::vector<std::string> lines;
  // An editor that saves as UTF-8 may put a byte-order mark first; it is no part
  // of the first line.
  std::size_t begin = bytes.starts_with(kUtf8ByteOrderMark) ? kUtf8ByteOrderMark.size() : 0;
  for (std::size_t i = begin; i < bytes.size(); ++i) {
    if (bytes[i] != '\r' && bytes[i] != '\n') continue;
    lines.emplace_back(bytes, begin, i - begin);
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    begin = i + 1;
  }
  if (begin < bytes.size()) lines.emplace_back(bytes, begin, std::string::npos);
  return lines;
}

std::vector<std::string> ReadTextLines(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    throw std::runtime_error(QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()).toStdString());
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError)
    throw std::runtime_error(QStringLiteral("Cannot read file \"%1\". %2").arg(path, file.errorString()).toStdString());
  return SplitTextLines(bytes.toStdString());
}

void WriteTextLines(const QString& path, const std::vector<std::string>& lines) {
  std::size_t size = 0;
  for (const std::string& line : lines) size += line.size() + 2;
  QByteArray bytes;
  bytes.reserve(static_cast<qsizetype>(size));
  for (const std::string& line : lines) {
    bytes.append(line.data(), static_cast<qsizetype>(line.size()));
    bytes.append("\r\n", 2);
  }
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
    throw std::runtime_error(
        QStringLiteral("Cannot create file \"%1\". %2").arg(path, file.errorString()).toStdString());
}
