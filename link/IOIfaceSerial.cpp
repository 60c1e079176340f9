#include "link/IOIfaceSerial.h"

#include "platform/guard.h"

std::string SerialDeviceOf(const QString& name) {
  if (name.startsWith(QStringLiteral("COM"), Qt::CaseInsensitive)) {
    const QString digits = name.mid(3);
    bool ok = digits.isEmpty();
    const int number = ok ? 1 : digits.toInt(&ok);
    if (ok && number >= 0) return ComPortDeviceName(number == 0 ? 1 : number);
  }
  return name.toLocal8Bit().toStdString();
}

TIOIfaceSerial::TIOIfaceSerial(TViewerModel model) : model_(model), port_(std::make_unique<TSerComPort>()) {
  // A link that lost its device must not open it again behind the window's back.
  port_->SetAutoOpen(false);
  port_->SetOnTriggerAvail([this](TSerComPort* port, int count) { TriggerAvail(port, count); });
  port_->OnPortClose = [this](TSerComPort*) { PortClosed(); };
}

TIOIfaceSerial::~TIOIfaceSerial() {
  Unbind();
  port_->OnPortClose = nullptr;
  port_.reset();
}

bool TIOIfaceSerial::GetActive() const { return port_->Open(); }

void TIOIfaceSerial::Open() {
  port_->SetOpen(true);
  connected_ = true;
  FireConnect();
}

void TIOIfaceSerial::Close() {
  closing_ = true;
  port_->SetOpen(false);
  closing_ = false;
  if (!connected_) return;
  connected_ = false;
  FireDisconnect();
}

void TIOIfaceSerial::Send(const std::string& data) {
  if (!GetActive()) return;
  port_->PutString(data);
}

QString TIOIfaceSerial::GetDescription() const { return QString::fromLocal8Bit(port_->DevicePath().c_str()); }

void TIOIfaceSerial::SetComPort(const QString& name) { port_->SetDeviceName(SerialDeviceOf(name)); }

void TIOIfaceSerial::SetParity(int parity) {
  port_->SetParity(static_cast<TParity>(parity));
  if (model_ != TViewerModel::W830) return;
  port_->SetRTS(false);
  port_->SetDTR(true);
}

void TIOIfaceSerial::TriggerAvail(TSerComPort* port, int count) {
  std::string data = port->GetBlock(count);
  QMetaObject::invokeMethod(
      this, [this, data = std::move(data)] { Guarded([&] { FireRxData(data); }); }, Qt::QueuedConnection);
}

// The port closed without being asked: the device hung up or failed.
void TIOIfaceSerial::PortClosed() {
  if (closing_ || !connected_) return;
  connected_ = false;
  QMetaObject::invokeMethod(this, [this] { Guarded([this] { FireDisconnect(); }); }, Qt::QueuedConnection);
}
