#pragma once
// The modal dialog in which the user chooses how to reach the indicator: a serial
// port with its line settings and unit address, or a TCP host and port.
#include <QDialog>
#include <memory>
#include <optional>

#include "link/IOIface.h"
#include "link/IOIfaceConfigure.h"
#include "link/dmViewer.h"

namespace Ui {
class TFrmComDialog;
}
class QFileSystemWatcher;
class QGroupBox;

class TFrmComDialog : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kAnyAddress = 99;

  explicit TFrmComDialog(TViewerModel model = TViewerModel::W830, QWidget* parent = nullptr);
  ~TFrmComDialog() override;

  bool IsTcp() const;
  void SetTcp(bool tcp);
  // The device path picked or typed.
  QString GetSerialPort() const;
  // Shows the port; a stored "COMn" means /dev/ttyS{n-1}. A port the list lacks
  // stays as the box's text, and one that is not on this computer is marked missing.
  void SetSerialPort(const QString& name);
  // The rate of the item chosen, or the rate given for "Custom".
  int GetBaudRate() const;
  // A rate the list lacks is a custom rate; one of 0 or less selects the default, 9600.
  void SetBaudRate(int baud);
  int GetDataBits() const;
  void SetDataBits(int bits);  // 7 or 8; anything else selects 8
  int GetStopBits() const;
  void SetStopBits(int bits);  // 1 or 2; anything else selects 1
  int GetParity() const;       // 0 none, 1 odd, 2 even
  void SetParity(int parity);
  // 1..31, or 99 for any unit (always 99 for TCP in the W830 build).
  int GetAddress() const;
  // 99, 0 and every value outside 1..31 select "Any".
  void SetAddress(int address);
  QString GetHostName() const;
  void SetHostName(const QString& host);
  // Throws std::runtime_error unless the text is a port number 1..65535.
  int GetTcpPort() const;
  // The port when the text holds a valid one.
  std::optional<int> TcpPortIfValid() const;
  void SetTcpPort(int port);

  void LoadFromSettings(const TdatViewer& settings);
  void SaveToSettings(TdatViewer& settings) const;
  TLinkSettings LinkSettings() const;

 protected:
  // OK checks the TCP port itself: putting focus back does not cancel a click.
  void done(int result) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void RGConnectionClick();
  // Lists the ports now present, keeping what the box shows.
  void FillSerialPorts();
  void WatchSerialPorts();
  void ShowPortPresence();
  // "Custom" picked: asks for the rate; a cancelled question keeps the rate before.
  void CBBaudActivated(int index);
  void ShowCustomBaud();
  void ShowConnectionGroups(bool tcp);
  // False, after the error box, when the TCP port text is not a valid port.
  bool CheckTcpPort();

  std::unique_ptr<Ui::TFrmComDialog> ui_;
  TViewerModel model_;
  int customBaud_ = 0;
  int baudIndex_ = -1;  // the rate shown before the last pick
  QFileSystemWatcher* portWatcher_ = nullptr;
};

// A TCP address chosen outside the dialog (the device finder). The dialog opens on
// it whether or not the store can keep it; port 0 leaves the stored port.
struct TTcpChoice {
  QString host;
  int port = 0;
};

// Shows the connection dialog filled from the store, or on TCP to choice when one is
// given. On OK writes the choice back, sets address and returns a new closed link
// with no handler bound; on any other answer returns nullptr and changes nothing.
std::unique_ptr<TIOIface> ConfigureIOInterface(TdatViewer& store, int& address,
                                               TViewerModel model = TViewerModel::W830,
                                               const TTcpChoice* choice = nullptr);
