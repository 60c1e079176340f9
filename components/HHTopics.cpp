#include "components/HHTopics.h"

#include <QFile>
#include <QRegularExpression>

#include "platform/prompter.h"

THHTopics::THHTopics(const THelpFileSource& socket, QString extension)
    : socket_(socket), extension_(std::move(extension)) {
  SetTextFile(QString());
}

void THHTopics::SetTextFile(const QString& path) {
  const QString file = path.isEmpty() ? socket_.SideFileName(extension_) : path;
  if (file != textFile_) lines_.clear();
  textFile_ = file;
  if (file.isEmpty()) return;
  QFile side(file);
  if (!side.open(QIODevice::ReadOnly)) {
    Prompter().MessageDlg(QStringLiteral("Unable to open ") + file + QStringLiteral(" file."), TMsgDlgType::mtError,
                          mbCancel);
    return;
  }
  static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
  lines_ = QString::fromLatin1(side.readAll()).split(lineEnd);
}

QString THHTopics::Find(std::int32_t n) {
  if (QString text = FindTopicText(Strings, n); !text.isEmpty()) return text;
  if (!loaded_) {
    SetTextFile(textFile_);
    loaded_ = socket_.IsHtmlHelpFile();
  }
  return FindTopicText(lines_, n);
}

QString FindTopicText(const QStringList& lines, std::int32_t n) {
  for (const QString& raw : lines) {
    QString line = raw.trimmed();
    if (const qsizetype equals = line.indexOf(QLatin1Char('=')); equals >= 0) line[equals] = QLatin1Char(' ');
    const qsizetype space = line.indexOf(QLatin1Char(' '));
    if (space < 0) continue;
    bool isNumber = false;
    const int number = line.left(space).toInt(&isNumber);
    if (isNumber && number == n) return line.mid(space + 1).trimmed();
  }
  return QString();
}
