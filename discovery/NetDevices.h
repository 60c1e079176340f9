#pragma once
// The device finder: lists the computer's interfaces with their broadcast
// addresses, sends the discovery probe to a broadcast (or typed) address, shows one
// row per indicator that answers, and hands the chosen one's address and TCP port
// back to the main window, or opens its web page.
#include <QDialog>
#include <memory>

namespace Ui {
class TfrmNetworkDevices;
}
class TVelUDP;
class TVelmacorDevice;

class TfrmNetworkDevices : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kDiscoveryPort = 2244;
  // Replies are read only this far.
  static constexpr int kReplyBufferSize = 1024;

  // Binds its UDP socket to a random local port; throws UDPSockError when it cannot.
  explicit TfrmNetworkDevices(QWidget* parent = nullptr);
  ~TfrmNetworkDevices() override;

  // false (a link is open) disables Connect and http:// for good: only finding is allowed.
  void SetAllowConnect(bool allow);
  void SetFinderAddress(const QString& address);
  QString GetFinderAddress() const;
  // Of the selected device row, or empty while Connect is disabled.
  QString GetSelectedIPAddress() const;
  QString GetSelectedTCPPort() const;

  void BtnFindClick();
  void BtnWebClick();
  void BtnCloseClick();
  // row: the device row now current, or -1 for none.
  void StringGridNetDevicesSelectCell(int row);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void FormCreate();
  // Every column gets an equal share of the grid's width, and no less than its
  // title and its texts need; each can be widened by hand.
  void FormResize();
  void FitColumnsToTexts();
  void FitColumnsToRow(int row);
  void FillInterfaceList();
  // The interface to send from for a typed address; "0.0.0.0" when none fits.
  QString InterfaceAddressFor(const QString& typed);
  // local, or what stands for it when this computer no longer has it.
  QString InterfaceStillHere(const QString& local, const QString& target);
  void UDPSockInvalidHost(bool& handled);
  void UDPSockDataReceived(int numberBytes, const QString& fromIP);
  void AppendDevice(const TVelmacorDevice& device);
  void EnableDeviceButtons(bool on);
  QString SelectedColumn(int column) const;

  std::unique_ptr<Ui::TfrmNetworkDevices> ui_;
  std::unique_ptr<TVelUDP> UDP;
  bool AllowConnect = true;
};
