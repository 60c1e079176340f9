#include "serial/ComSetCtl.h"

#include "serial/CustomComPort.h"

namespace {

QStringList ItemsOf(TComProperty property) {
  auto fromStd = [](const std::vector<std::string>& v) {
    QStringList out;
    for (const auto& s : v) out << QString::fromStdString(s);
    return out;
  };
  switch (property) {
    case cpPort: {
      std::vector<std::string> ports;
      EnumComPorts(ports);
      return fromStd(ports);
    }
    case cpBaudRate: return fromStd(BaudRateTexts());
    case cpDataBits: return {"5", "6", "7", "8"};
    case cpStopBits: return {"1", "1.5", "2"};
    case cpParity: return {"None", "Odd", "Even", "Mark", "Space"};
    case cpFlowControl: return {"Hardware", "Software", "None", "Custom"};
    case cpNone: break;
  }
  return {};
}

}  // namespace

TComComboBox::TComComboBox(QWidget* parent) : QComboBox(parent) {
  setEditable(false);
  connect(this, &QComboBox::activated, this, [this](int index) {
    TakeText(itemText(index));
    if (autoApply_) ApplyToPort();
  });
}

void TComComboBox::SetComProperty(TComProperty property) {
  const QStringList items = ItemsOf(property);  // may raise for the port list: nothing changes then
  property_ = property;
  clear();
  addItems(items);
  if (count() == 0) return;
  if (port_)
    setCurrentIndex(ReadFromPort());
  else
    setCurrentIndex(0);
}

TCustomComPort* TComComboBox::ComPort() const { return port_; }

void TComComboBox::SetComPort(TCustomComPort* port) {
  if (port == port_) return;
  disconnect(portDestroyed_);
  port_ = port;
  if (!port) return;
  portDestroyed_ = connect(port, &QObject::destroyed, this, [this] {
    port_ = nullptr;
    if (count() > 0) setCurrentIndex(0);
  });
  ShowPortValue();
}

void TComComboBox::ShowPortValue() {
  const int index = ReadFromPort();
  if (index >= 0) setCurrentIndex(index);
}

int TComComboBox::ReadFromPort() {
  if (!port_) return -1;
  std::string text;
  switch (property_) {
    case cpPort: text = port_->Port(); break;
    case cpBaudRate: text = BaudRateText(port_->BaudRate()); break;
    case cpDataBits: text = DataBitsText(port_->DataBits()); break;
    case cpStopBits: text = StopBitsText(port_->StopBits()); break;
    case cpParity: text = ParityText(port_->Parity().Bits); break;
    case cpFlowControl: text = FlowControlText(port_->FlowControl().FlowControl()); break;
    case cpNone: return -1;
  }
  const int index = findText(QString::fromStdString(text));
  if (index >= 0) TakeText(itemText(index));
  return index;
}

void TComComboBox::ApplyToPort() {
  if (!port_) return;
  switch (property_) {
    case cpPort: port_->SetPort(pickedPort_.toStdString()); break;
    case cpBaudRate: port_->SetBaudRate(static_cast<TBaudRateCode>(picked_)); break;
    case cpDataBits: port_->SetDataBits(static_cast<TDataBitsCode>(picked_)); break;
    case cpStopBits: port_->SetStopBits(static_cast<TStopBitsCode>(picked_)); break;
    case cpParity: port_->Parity().Set(&TComParity::Bits, static_cast<TParityBits>(picked_)); break;
    case cpFlowControl: port_->FlowControl().SetFlowControl(static_cast<TFlowControl>(picked_)); break;
    case cpNone: break;
  }
}

QString TComComboBox::Text() const { return currentIndex() < 0 ? QString() : currentText(); }

void TComComboBox::SetText(const QString& text) {
  const int index = findText(text);
  if (index >= 0) setCurrentIndex(index);
}

void TComComboBox::TakeText(const QString& text) {
  const std::string t = text.toStdString();
  switch (property_) {
    case cpPort: pickedPort_ = text; break;
    case cpBaudRate: picked_ = BaudRateFromText(t); break;
    case cpDataBits: picked_ = DataBitsFromText(t); break;
    case cpStopBits: picked_ = StopBitsFromText(t); break;
    case cpParity: picked_ = ParityFromText(t); break;
    case cpFlowControl: picked_ = FlowControlFromText(t); break;
    case cpNone: break;
  }
}
