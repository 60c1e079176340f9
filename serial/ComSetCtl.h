#pragma once
// A drop-down list of the values of one serial port setting (the connection
// dialog lists the baud rates with it).
#include <QComboBox>
#include <QPointer>

#include "serial/ComSet.h"

class TCustomComPort;

class TComComboBox : public QComboBox {
  Q_OBJECT
 public:
  explicit TComComboBox(QWidget* parent = nullptr);

  TComProperty ComProperty() const { return property_; }
  // Refills the list with the property's values and selects the first, or the
  // linked port's current value.
  void SetComProperty(TComProperty property);
  // A linked port shows its value here and, with AutoApply, takes what is picked.
  // The link ends by itself when the port is destroyed.
  TCustomComPort* ComPort() const;
  void SetComPort(TCustomComPort* port);
  bool AutoApply() const { return autoApply_; }
  void SetAutoApply(bool on) { autoApply_ = on; }
  // Writes the value last picked to the linked port.
  void ApplyToPort();
  // The selected item's text, or "" when nothing is selected.
  QString Text() const;
  // Selects the item with that text; a text the list lacks changes nothing.
  void SetText(const QString& text);
  // The value last picked, as a code of the chosen property (port: the name).
  int PickedCode() const { return picked_; }
  QString PickedPort() const { return pickedPort_; }

 private:
  void TakeText(const QString& text);
  // The item index of the linked port's value (-1 when the list lacks it), kept as picked.
  int ReadFromPort();
  void ShowPortValue();

  QPointer<TCustomComPort> port_;
  QMetaObject::Connection portDestroyed_;
  bool autoApply_ = false;
  TComProperty property_ = cpNone;
  int picked_ = 0;
  QString pickedPort_;
};
