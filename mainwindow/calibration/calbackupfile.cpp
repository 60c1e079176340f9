#include "mainwindow/calibration/calbackupfile.h"

#include "components/CEVersionInfo.h"
#include "platform/exepath.h"
#include "platform/inifile.h"

namespace {

const QString kHeader = QStringLiteral("Header");
const QString kCalData = QStringLiteral("CalData");
// The writer spells it so; the reader asks for "CheckSum", and names ignore case.
const QString kChecksumKey = QStringLiteral("Checksum");

QString BlockKey(int block) {
  // A backup names its blocks over and over: the names are made once.
  static const auto kKeys = [] {
    std::array<QString, kCalBlocks> keys;
    for (int i = 0; i < kCalBlocks; ++i) keys[static_cast<std::size_t>(i)] = QStringLiteral("BCA") + QString::number(i);
    return keys;
  }();
  if (block >= 0 && block < kCalBlocks) return kKeys[static_cast<std::size_t>(block)];
  return QStringLiteral("BCA") + QString::number(block);
}

}  // namespace

int32_t CalChecksum(std::string_view text) {
  uint32_t sum = 165;
  for (const char c : text) sum += static_cast<unsigned char>(c);
  return static_cast<int32_t>(sum);
}

std::string CalBlockLine(int block, std::string_view value) {
  std::string line = "BCA" + std::to_string(block) + '=';
  line.append(value);
  return line;
}

void FillCalBackup(TMemIniFile& ini, const TCalIdentity& identity, const std::vector<TCalBlock>& blocks) {
  ini.SetBytes(QByteArray());
  ini.WriteString(kHeader, QStringLiteral("ViewerProduct"), identity.viewerProduct);
  ini.WriteString(kHeader, QStringLiteral("ViewerVersion"), identity.viewerVersion);
  ini.WriteString(kHeader, QStringLiteral("IndicatorModel"), identity.indicatorModel);
  ini.WriteString(kHeader, QStringLiteral("IndicatorVersion"), identity.indicatorVersion);
  ini.WriteString(kHeader, QStringLiteral("IndicatorSerialNo"), identity.indicatorSerialNo);
  for (const TCalBlock& block : blocks)
    ini.WriteString(kCalData, BlockKey(block.number),
                    QString::fromLatin1(block.value.data(), static_cast<qsizetype>(block.value.size())));
  // A value loses its outer blanks and anything from a line break on when it is
  // read again: the sum is taken over what a reader will get, which is the value
  // the key holds now (the last one written to it) as a reread gives it back.
  std::string lines;
  for (const TCalBlock& block : blocks) {
    const QByteArray held = TMemIniFile::ValueAsRead(ini.ReadString(kCalData, BlockKey(block.number), QString())).toLatin1();
    lines.append(CalBlockLine(block.number, std::string_view(held.data(), static_cast<std::size_t>(held.size()))))
        .append("\r\n");
  }
  ini.WriteInteger(kCalData, kChecksumKey, CalChecksum(lines));
}

int32_t TCalBackup::Checksum() const {
  std::string lines;
  for (int i = 0; i < kCalBlocks; ++i) lines.append(CalBlockLine(i, values[static_cast<std::size_t>(i)])).append("\r\n");
  return CalChecksum(lines);
}

TCalBackup ReadCalBackup(const TMemIniFile& ini) {
  TCalBackup backup;
  backup.identity.viewerProduct = ini.ReadString(kHeader, QStringLiteral("ViewerProduct"), QString());
  backup.identity.viewerVersion = ini.ReadString(kHeader, QStringLiteral("ViewerVersion"), QString());
  backup.identity.indicatorModel = ini.ReadString(kHeader, QStringLiteral("IndicatorModel"), QString());
  backup.identity.indicatorVersion = ini.ReadString(kHeader, QStringLiteral("IndicatorVersion"), QString());
  backup.identity.indicatorSerialNo = ini.ReadString(kHeader, QStringLiteral("IndicatorSerialNo"), QString());
  for (int i = 0; i < kCalBlocks; ++i)
    backup.values[static_cast<std::size_t>(i)] = ini.ReadString(kCalData, BlockKey(i), QString()).toLatin1().toStdString();
  backup.storedChecksum = ini.ReadInteger(kCalData, QStringLiteral("CheckSum"), 0);
  return backup;
}

std::vector<QString> RestoreQuestions(const TCalBackup& backup, const TCalIdentity& here,
                                      const QString& serialNumberQuestion) {
  const TCalIdentity& stored = backup.identity;
  // The header holds each text as the file gives it back (outer blanks gone): the
  // texts at hand are compared as a backup made now would hold them.
  const auto differs = [](const QString& held, const QString& now) { return held != TMemIniFile::ValueAsRead(now); };
  const std::pair<bool, QString> checks[] = {
      {backup.storedChecksum != backup.Checksum(), QStringLiteral("Stored checksum is incorrect. Continue?")},
      {differs(stored.viewerProduct, here.viewerProduct), QStringLiteral("Viewer is different. Continue?")},
      {differs(stored.viewerVersion, here.viewerVersion), QStringLiteral("Viewer version is different. Continue?")},
      {differs(stored.indicatorModel, here.indicatorModel), QStringLiteral("Indicator model is different. Continue?")},
      {differs(stored.indicatorVersion, here.indicatorVersion),
       QStringLiteral("Indicator software version is different. Continue?")},
      {differs(stored.indicatorSerialNo, here.indicatorSerialNo), serialNumberQuestion},
  };
  std::vector<QString> questions;
  for (const auto& [differs, question] : checks)
    if (differs) questions.push_back(question);
  return questions;
}

QString ViewerVersionText(const QString& major, const QString& minor, const QString& release) {
  return major + '.' + minor + release;
}

void ViewerVersion(QString& version, QString& product) {
  // The block cannot change while the program runs, so it is read once for each
  // program file: a test that points the program file elsewhere gets that file's.
  static QString readFrom = ExecutableFileName();
  static TCEVersionInfo info;  // reads readFrom's
  if (readFrom != ExecutableFileName()) {
    readFrom = ExecutableFileName();
    info.GetInfo(readFrom);
  }
  version = ViewerVersionText(info.MajorVersion, info.MinorVersion, info.Release);
  product = info.ProductName;
}
