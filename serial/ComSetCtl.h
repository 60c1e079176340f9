#pragma once
// A drop-down list of the values of one serial port setting (the connection
// dialog lists the baud rates with it), and the selector behind it that fills the
// list and carries picks to a linked port.
#include <QComboBox>
#include <QPointer>

#include "serial/ComSet.h"

class TCustomComPort;

// Fills its combo box's own item list with the values of one setting and keeps
// the value last chosen of each kind, which it writes to the linked port.
class TComSelect {
 public:
  explicit TComSelect(QComboBox& list) : list_(list) {}

  TComProperty Property() const { return property_; }
  // Keeps property and refills the list with its values; when the port list
  // cannot be read, the exception goes on and nothing changes.
  void ChooseProperty(TComProperty property);
  // Keeps text as the value of the chosen kind; with AutoApply writes it to the port.
  void TakeText(const QString& text);
  // Writes the kept value of the chosen kind to the linked port, if any.
  void ApplyToPort();
  // The item index of the linked port's value, kept as if chosen; -1 when there is
  // no port or the list lacks the value.
  int ReadFromPort();

  QPointer<TCustomComPort> Port;
  bool AutoApply = false;
  // The value last chosen of each kind.
  QString PortName;
  TBaudRateCode BaudRate = brCustom;
  TDataBitsCode DataBits = dbFive;
  TStopBitsCode StopBits = sbOneStopBit;
  TParityBits Parity = prNone;
  TFlowControl FlowControl = fcHardware;

 private:
  void Keep(const QString& text);

  QComboBox& list_;
  TComProperty property_ = cpNone;
};

class TComComboBox : public QComboBox {
  Q_OBJECT
 public:
  explicit TComComboBox(QWidget* parent = nullptr);

  TComProperty ComProperty() const { return select_.Property(); }
  // Refills the list with the property's values and selects the first, or the
  // linked port's current value.
  void SetComProperty(TComProperty property);
  // A linked port shows its value here and, with AutoApply, takes what is picked.
  // The link ends by itself when the port is destroyed.
  TCustomComPort* ComPort() const;
  void SetComPort(TCustomComPort* port);
  bool AutoApply() const { return select_.AutoApply; }
  void SetAutoApply(bool on) { select_.AutoApply = on; }
  // The selected item's text, or "" when nothing is selected.
  QString Text() const;
  // Selects the item with that text; a text the list lacks changes nothing.
  void SetText(const QString& text);
  TComSelect& Selector() { return select_; }

 private:
  void ShowPortValue();

  TComSelect select_{*this};
  QMetaObject::Connection portDestroyed_;
};
