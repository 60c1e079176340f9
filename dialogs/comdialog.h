#pragma once
// The connection dialog: a serial port with its line settings and unit address, or
// a TCP host and port. Filled from the viewer settings, read back after Ok.
#include <QDialog>
#include <memory>

class QButtonGroup;
class TdatViewer;

namespace Ui {
class TFrmComDialog;
}

enum class TComDialogModel { W830, W840 };

class TFrmComDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kAnyAddress = 99;
  static constexpr int kDefaultTcpPort = 2222;

  explicit TFrmComDialog(TComDialogModel model = TComDialogModel::W830, QWidget* parent = nullptr);
  ~TFrmComDialog() override;

  void LoadFromSettings(const TdatViewer& settings);
  void SaveToSettings(TdatViewer& settings) const;

  bool IsTcp() const;
  void SetTcp(bool tcp);
  QString GetSerialPort() const;
  // A name the port list lacks is added to it, so a stored port is never replaced.
  void SetSerialPort(const QString& name);
  // Unselected lists read as their defaults (9600, 8, 1).
  int GetBaudRate() const;
  void SetBaudRate(int baud);
  int GetDataBits() const;
  void SetDataBits(int bits);
  int GetStopBits() const;
  void SetStopBits(int bits);
  int GetParity() const;
  void SetParity(int parity);
  // 1..31, or 99 for any unit (W830: always 99 over TCP).
  int GetAddress() const;
  // 0, 99 and anything outside 1..31 select "Any".
  void SetAddress(int address);
  QString GetHostName() const;
  void SetHostName(const QString& host);
  // The port typed, or 0 when the text is not a whole number in 1..65535.
  int GetTcpPort() const;
  void SetTcpPort(int port);
  bool TcpPortValid() const;

 private:
  void ShowConnectionGroups(bool tcp);
  void RGConnectionClick();
  void BtnOkClick();

  std::unique_ptr<Ui::TFrmComDialog> ui_;
  TComDialogModel model_;
  QButtonGroup* connection_;
  QButtonGroup* parity_;
  QButtonGroup* dataBits_;
  QButtonGroup* stopBits_;
};
