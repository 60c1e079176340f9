#include "platform/textfile.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace {

[[noreturn]] void Fail(const char* what, const QString& path, const QString& reason) {
  const QString message = QStringLiteral("%1 \"%2\". %3").arg(QLatin1String(what), QDir::toNativeSeparators(path), reason);
  throw ETextFileError(message.toLatin1().toStdString());
}

}  // namespace

std::vector<std::string> SplitLines(std::string_view bytes) {
  std::vector<std::string> lines;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    std::size_t end = bytes.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = bytes.size();
    lines.emplace_back(bytes.substr(pos, end - pos));
    pos = end;
    if (pos < bytes.size()) {
      const bool cr = bytes[pos++] == '\r';
      if (cr && pos < bytes.size() && bytes[pos] == '\n') ++pos;
    }
  }
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes.append(line).append("\r\n");
  return bytes;
}

std::vector<std::string> ReadTextLines(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) Fail("Cannot open file", path, file.errorString());
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) Fail("Cannot read file", path, file.errorString());
  return SplitLines(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void WriteTextLines(const QString& path, const std::vector<std::string>& lines) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) Fail("Cannot create file", path, file.errorString());
  const std::string bytes = JoinLines(lines);
  if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()) ||
      !file.commit()) {
    const QString reason = file.errorString();
    file.cancelWriting();
    Fail("Cannot write file", path, reason);
  }
}
