#include "serial/ComSetCtl.h"

#include "serial/ComSetTexts.h"
#include "serial/EnumComPorts.h"

void TComSelect::ChooseProperty(TComProperty p, QStringList& items) {
  property_ = p;
  switch (p) {
    case cpPort:
      items.clear();
      EnumComPorts(items);
      return;
    case cpBaudRate: items = BaudRateTexts(); return;
    case cpDataBits: items = DataBitsTexts(); return;
    case cpStopBits: items = StopBitsTexts(); return;
    case cpParity: items = ParityTexts(); return;
    case cpFlowControl: items = FlowControlTexts(); return;
    case cpNone: break;
  }
  items.clear();
}

void TComSelect::TakeText(const QString& text) {
  switch (property_) {
    case cpPort: portName_ = text; break;
    case cpBaudRate: baudCode_ = BaudRateFromText(text); break;
    case cpDataBits: dataBitsCode_ = DataBitsFromText(text); break;
    case cpStopBits: stopBitsCode_ = StopBitsFromText(text); break;
    case cpParity: parity_ = ParityFromText(text); break;
    case cpFlowControl: flowControl_ = FlowControlFromText(text); break;
    case cpNone: break;
  }
}

TComComboBox::TComComboBox(QWidget* parent) : QComboBox(parent) {
  setEditable(false);
  connect(this, &QComboBox::activated, this, &TComComboBox::Change);
}

void TComComboBox::SetComProperty(TComProperty p) {
  QStringList items;
  select_.ChooseProperty(p, items);
  QSignalBlocker block(this);
  clear();
  addItems(items);
  if (count() > 0) setCurrentIndex(0);
}

QString TComComboBox::Text() const { return currentIndex() < 0 ? QString() : currentText(); }

void TComComboBox::SetText(const QString& text) {
  const int index = findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive);
  if (index >= 0) setCurrentIndex(index);
}

void TComComboBox::Change(int) {
  select_.TakeText(Text());
  emit OnChange();
}
