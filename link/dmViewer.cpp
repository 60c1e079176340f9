#include "link/dmViewer.h"

#include <QFileInfo>

#include "platform/exepath.h"
#include "platform/userfile.h"
#include "platform/inifile.h"
#include "platform/prompter.h"

TdatViewer* datViewer = nullptr;

namespace {

constexpr char kConnection[] = "Connection";
constexpr char kDeviceFinder[] = "DeviceFinder";
constexpr char kGeneral[] = "General";
constexpr char kOptions[] = "Options";

constexpr char kDefaultHost[] = "192.168.1.100";
constexpr char kDefaultFinderAddress[] = "192.168.1.255";

}  // namespace

TdatViewer::TdatViewer(TViewerModel model) : model_(model) {
  datViewer = this;
  DataModuleCreate();
}

TdatViewer::~TdatViewer() {
  DataModuleDestroy();
  if (datViewer == this) datViewer = nullptr;
}

void TdatViewer::DataModuleCreate() {
  const QString fileName = IniFileName();
  if (!QFileInfo::exists(fileName)) {
    const QString shipped = DefaultIniFileName();
    if (shipped.isEmpty()) return;
    QString error;
    if (!CopyNewUserFile(shipped, fileName, error)) {
      Prompter().MessageDlg(QStringLiteral("Settings file %1 cannot be made (%2). The default settings are used and "
                                           "changes are not saved.")
                                .arg(fileName, error),
                            TMsgDlgType::mtWarning, mbOK);
      return;
    }
  }
  auto ini = std::make_unique<TMemIniFile>(fileName);
  // A file we could not read is never written over: its options may still be in it.
  if (!ini->LoadError().isEmpty()) {
    Prompter().MessageDlg(QStringLiteral("Settings file %1 cannot be read (%2). The default settings are used "
                                         "and changes are not saved.")
                              .arg(fileName, ini->LoadError()),
                          TMsgDlgType::mtWarning, mbOK);
    return;
  }
  ini_ = std::move(ini);
}

void TdatViewer::DataModuleDestroy() {
  // An ini that nothing changed is left as it is: a read-only one says nothing, and
  // no run rewrites a file it only read.
  if (ini_ && ini_->Modified() && !ini_->UpdateFile())
    Prompter().MessageDlg(
        QStringLiteral("Settings file %1 cannot be written (%2).").arg(ini_->FileName(), ini_->LastError()),
        TMsgDlgType::mtError, mbOK);
  ini_.reset();
}

QString TdatViewer::IniFileName() const { return ::IniFileName(); }

QString TdatViewer::ReadString(const char* section, const char* key, const QString& defaultValue) const {
  return ini_ ? ini_->ReadString(QLatin1String(section), QLatin1String(key), defaultValue) : defaultValue;
}

int TdatViewer::ReadInteger(const char* section, const char* key, int defaultValue) const {
  return ini_ ? ini_->ReadInteger(QLatin1String(section), QLatin1String(key), defaultValue) : defaultValue;
}

bool TdatViewer::ReadBool(const char* section, const char* key, bool defaultValue) const {
  return ini_ ? ini_->ReadBool(QLatin1String(section), QLatin1String(key), defaultValue) : defaultValue;
}

void TdatViewer::WriteString(const char* section, const char* key, const QString& value) {
  if (ini_) ini_->WriteString(QLatin1String(section), QLatin1String(key), value);
}

void TdatViewer::WriteInteger(const char* section, const char* key, int value) {
  if (ini_) ini_->WriteInteger(QLatin1String(section), QLatin1String(key), value);
}

void TdatViewer::WriteBool(const char* section, const char* key, bool value) {
  if (ini_) ini_->WriteBool(QLatin1String(section), QLatin1String(key), value);
}

int TdatViewer::GetConnectionType() const { return ReadInteger(kConnection, "ConnectionType", 0); }
void TdatViewer::SetConnectionType(int value) { WriteInteger(kConnection, "ConnectionType", value); }

QString TdatViewer::GetSerialPort() const { return ReadString(kConnection, "SerialPort", QStringLiteral("COM1")); }
void TdatViewer::SetSerialPort(const QString& value) { WriteString(kConnection, "SerialPort", value); }

int TdatViewer::GetBaudRate() const { return ReadInteger(kConnection, "BaudRate", 9600); }
void TdatViewer::SetBaudRate(int value) { WriteInteger(kConnection, "BaudRate", value); }

int TdatViewer::GetDataBits() const { return ReadInteger(kConnection, "DataBits", 8); }
void TdatViewer::SetDataBits(int value) { WriteInteger(kConnection, "DataBits", value); }

int TdatViewer::GetStopBits() const { return ReadInteger(kConnection, "StopBits", 1); }
void TdatViewer::SetStopBits(int value) { WriteInteger(kConnection, "StopBits", value); }

int TdatViewer::GetParityBits() const { return ReadInteger(kConnection, "ParityBits", 0); }
void TdatViewer::SetParityBits(int value) { WriteInteger(kConnection, "ParityBits", value); }

int TdatViewer::GetSerialAddress() const { return ReadInteger(kConnection, "SerialAddress", 0); }
void TdatViewer::SetSerialAddress(int value) { WriteInteger(kConnection, "SerialAddress", value); }

QString TdatViewer::GetTcpHostname() const {
  return ReadString(kConnection, "TcpHostname", QLatin1String(kDefaultHost));
}
void TdatViewer::SetTcpHostname(const QString& value) { WriteString(kConnection, "TcpHostname", value); }

int TdatViewer::GetTcpPort() const { return ReadInteger(kConnection, "TcpPort", 2222); }
void TdatViewer::SetTcpPort(int value) { WriteInteger(kConnection, "TcpPort", value); }

QString TdatViewer::GetDeviceFinderAddress() const {
  return ReadString(kDeviceFinder, "Address", QLatin1String(kDefaultFinderAddress));
}
void TdatViewer::SetDeviceFinderAddress(const QString& value) { WriteString(kDeviceFinder, "Address", value); }

QChar TdatViewer::GetDecimalPointChar() const {
  const QString text = ReadString(kGeneral, "DecimalPointChar", QStringLiteral("."));
  return text.isEmpty() ? QLatin1Char('.') : text.at(0);
}
void TdatViewer::SetDecimalPointChar(QChar value) { WriteString(kGeneral, "DecimalPointChar", QString(value)); }

bool TdatViewer::GetCommsLoggingEnabled() const { return ReadBool(kGeneral, "CommsLoggingEnabled", false); }

QString TdatViewer::GetCommsLoggingFile() const {
  const QString fallback =
      model_ == TViewerModel::W840 ? QStringLiteral("C:\\W840Viewer.log") : QStringLiteral("C:\\vNQ3752.log");
  return ReadString(kGeneral, "CommsLoggingFile", fallback);
}

int TdatViewer::GetTcpTimeout() const { return ReadInteger(kConnection, "TcpTimeout", 70); }
void TdatViewer::SetTcpTimeout(int value) { WriteInteger(kConnection, "TcpTimeout", value); }

int TdatViewer::GetSerTimeout() const {
  return ReadInteger(kConnection, "SerTimeout", model_ == TViewerModel::W840 ? 20 : 60);
}
void TdatViewer::SetSerTimeout(int value) { WriteInteger(kConnection, "SerTimeout", value); }

bool TdatViewer::GetFirstRun() const { return ReadBool(kOptions, "FirstRun", true); }
void TdatViewer::SetFirstRun(bool value) { WriteBool(kOptions, "FirstRun", value); }

QString TdatViewer::GetBackgroundImage() const { return ReadString(kGeneral, "BackgroundImage", QString()); }

int TdatViewer::GetTimeout() const { return GetConnectionType() == 1 ? GetTcpTimeout() : GetSerTimeout(); }
