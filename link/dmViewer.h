#pragma once
// The viewer's own options (connection, time-outs, display and logging choices),
// kept in the program's ini file (see IniFileName: beside a portable copy, in the
// user's configuration folder for an installed program, which makes it from the
// shipped default on first start). Created first at start-up and destroyed last;
// changes reach the disk only when it is destroyed, only when something changed,
// and only when the file was there at start (an empty file is enough to make a
// portable copy keep its options).
#include <QChar>
#include <QString>
#include <memory>

class TMemIniFile;

enum class TViewerModel { W830, W840 };

class TdatViewer {
 public:
  // Reads the ini file when it exists and sets datViewer to this object.
  explicit TdatViewer(TViewerModel model = TViewerModel::W830);
  // Writes the ini file back when it existed at start, then clears datViewer.
  ~TdatViewer();
  TdatViewer(const TdatViewer&) = delete;
  TdatViewer& operator=(const TdatViewer&) = delete;

  // The ini file's path, whether or not it exists.
  QString IniFileName() const;
  // True when options are kept: the ini file existed and could be read.
  bool HasIniFile() const { return ini_ != nullptr; }

  int GetConnectionType() const;  // 0 serial, 1 TCP
  void SetConnectionType(int value);
  QString GetSerialPort() const;
  void SetSerialPort(const QString& value);
  int GetBaudRate() const;
  void SetBaudRate(int value);
  int GetDataBits() const;
  void SetDataBits(int value);
  int GetStopBits() const;
  void SetStopBits(int value);
  int GetParityBits() const;  // 0 none, 1 odd, 2 even
  void SetParityBits(int value);
  int GetSerialAddress() const;
  void SetSerialAddress(int value);
  QString GetTcpHostname() const;
  void SetTcpHostname(const QString& value);
  int GetTcpPort() const;
  void SetTcpPort(int value);
  QString GetDeviceFinderAddress() const;
  void SetDeviceFinderAddress(const QString& value);
  // The first character of the stored text, or '.' when it is empty.
  QChar GetDecimalPointChar() const;
  void SetDecimalPointChar(QChar value);
  bool GetCommsLoggingEnabled() const;
  // The stored text as typed, e.g. "C:\vNQ3752.log"; see ResolveStoredPath.
  QString GetCommsLoggingFile() const;
  // Reply time-outs in tenths of a second.
  int GetTcpTimeout() const;
  void SetTcpTimeout(int value);
  int GetSerTimeout() const;
  void SetSerTimeout(int value);
  bool GetFirstRun() const;
  void SetFirstRun(bool value);
  // Relative to the executable's folder.
  QString GetBackgroundImage() const;

  // The time-out of the link in use: GetTcpTimeout for TCP, else GetSerTimeout.
  int GetTimeout() const;

 private:
  // Takes the ini file in when it exists and can be read.
  void DataModuleCreate();
  // Writes the ini file back, when there is one, and lets it go.
  void DataModuleDestroy();
  QString ReadString(const char* section, const char* key, const QString& defaultValue) const;
  int ReadInteger(const char* section, const char* key, int defaultValue) const;
  bool ReadBool(const char* section, const char* key, bool defaultValue) const;
  void WriteString(const char* section, const char* key, const QString& value);
  void WriteInteger(const char* section, const char* key, int value);
  void WriteBool(const char* section, const char* key, bool value);

  TViewerModel model_;
  std::unique_ptr<TMemIniFile> ini_;
};

// The one settings store of the running program, or nullptr outside its lifetime.
extern TdatViewer* datViewer;
