#pragma once
// A serial link: a TSerComPort on the device the connection dialog names. Open
// and Close report the change at once; received bytes, and a far end that hangs
// up, are handed on through queued calls, so a handler that waits never holds up
// the port's own deliveries, and the bytes come before the disconnect.
#include <memory>

#include "link/IOIface.h"
#include "link/dmViewer.h"
#include "serial/SerComPort.h"

class TIOIfaceSerial final : public TIOIface {
 public:
  // The W830 also sets RTS off and DTR on with the parity.
  explicit TIOIfaceSerial(TViewerModel model = TViewerModel::W830);
  ~TIOIfaceSerial() override;

  bool GetActive() const override;
  // Raises the driver's exception when the port cannot be opened; OnConnect then does not fire.
  void Open() override;
  void Close() override;
  void Send(const std::string& data) override;
  // The device path.
  QString GetDescription() const override;

  // A device path, or "COMn" for /dev/ttyS{n-1}.
  void SetComPort(const QString& name);
  void SetBaud(int baud) { port_->SetBaud(baud); }
  void SetDataBits(int bits) { port_->SetDataBits(bits); }
  void SetStopBits(int bits) { port_->SetStopBits(bits); }
  // 0 none, 1 odd, 2 even.
  void SetParity(int parity);

  const TSerComPort& Port() const { return *port_; }

 private:
  void TriggerAvail(TSerComPort* port, int count);
  void PortClosed();

  TViewerModel model_;
  std::unique_ptr<TSerComPort> port_;
  bool connected_ = false;  // OnConnect fired and OnDisconnect not yet
  bool closing_ = false;
};

// The device a stored port name stands for: "COMn" (n from 1) is /dev/ttyS{n-1},
// "COM" alone is COM1; any other name is taken as a path.
std::string SerialDeviceOf(const QString& name);
