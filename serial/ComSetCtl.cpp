#include "serial/ComSetCtl.h"

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
  connect(this, &QComboBox::activated, this, [this](int index) { TakeText(itemText(index)); });
}

void TComComboBox::SetComProperty(TComProperty property) {
  const QStringList items = ItemsOf(property);  // may raise for the port list: nothing changes then
  property_ = property;
  clear();
  addItems(items);
  if (count() > 0) setCurrentIndex(0);
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
