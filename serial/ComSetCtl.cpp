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

void TComSelect::ChooseProperty(TComProperty property) {
  const QStringList items = ItemsOf(property);
  property_ = property;
  list_.clear();
  list_.addItems(items);
}

void TComSelect::Keep(const QString& text) {
  const std::string t = text.toStdString();
  switch (property_) {
    case cpPort: PortName = text; break;
    case cpBaudRate: BaudRate = BaudRateFromText(t); break;
    case cpDataBits: DataBits = DataBitsFromText(t); break;
    case cpStopBits: StopBits = StopBitsFromText(t); break;
    case cpParity: Parity = ParityFromText(t); break;
    case cpFlowControl: FlowControl = FlowControlFromText(t); break;
    case cpNone: break;
  }
}

void TComSelect::TakeText(const QString& text) {
  Keep(text);
  if (AutoApply) ApplyToPort();
}

void TComSelect::ApplyToPort() {
  if (!Port) return;
  switch (property_) {
    case cpPort: Port->SetPort(PortName.toStdString()); break;
    case cpBaudRate: Port->SetBaudRate(BaudRate); break;
    case cpDataBits: Port->SetDataBits(DataBits); break;
    case cpStopBits: Port->SetStopBits(StopBits); break;
    case cpParity: Port->Parity().Set(&TComParity::Bits, Parity); break;
    case cpFlowControl: Port->FlowControl().SetFlowControl(FlowControl); break;
    case cpNone: break;
  }
}

int TComSelect::ReadFromPort() {
  if (!Port) return -1;
  std::string text;
  switch (property_) {
    case cpPort: text = Port->Port(); break;
    case cpBaudRate: text = BaudRateText(Port->BaudRate()); break;
    case cpDataBits: text = DataBitsText(Port->DataBits()); break;
    case cpStopBits: text = StopBitsText(Port->StopBits()); break;
    case cpParity: text = ParityText(Port->Parity().Bits); break;
    case cpFlowControl: text = FlowControlText(Port->FlowControl().FlowControl()); break;
    case cpNone: return -1;
  }
  const int index = list_.findText(QString::fromStdString(text));
  if (index >= 0) Keep(list_.itemText(index));
  return index;
}

TComComboBox::TComComboBox(QWidget* parent) : QComboBox(parent) {
  setEditable(false);
  connect(this, &QComboBox::activated, this, [this](int index) { select_.TakeText(itemText(index)); });
}

void TComComboBox::SetComProperty(TComProperty property) {
  select_.ChooseProperty(property);
  if (count() == 0) return;
  setCurrentIndex(select_.Port ? select_.ReadFromPort() : 0);
}

TCustomComPort* TComComboBox::ComPort() const { return select_.Port; }

void TComComboBox::SetComPort(TCustomComPort* port) {
  if (port == select_.Port) return;
  disconnect(portDestroyed_);
  select_.Port = port;
  if (!port) return;
  portDestroyed_ = connect(port, &QObject::destroyed, this, [this] {
    select_.Port = nullptr;
    if (count() > 0) setCurrentIndex(0);
  });
  ShowPortValue();
}

void TComComboBox::ShowPortValue() {
  const int index = select_.ReadFromPort();
  if (index >= 0) setCurrentIndex(index);
}

QString TComComboBox::Text() const { return currentIndex() < 0 ? QString() : currentText(); }

void TComComboBox::SetText(const QString& text) {
  const int index = findText(text);
  if (index >= 0) setCurrentIndex(index);
}
