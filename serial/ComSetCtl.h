#pragma once
// A drop-down list of the values of one serial port setting (the connection
// dialog lists the baud rates with it).
#include <QComboBox>

#include "serial/ComSet.h"

class TComComboBox : public QComboBox {
  Q_OBJECT
 public:
  explicit TComComboBox(QWidget* parent = nullptr);

  TComProperty ComProperty() const { return property_; }
  // Refills the list with the property's values and selects the first.
  void SetComProperty(TComProperty property);
  // The selected item's text, or "" when nothing is selected.
  QString Text() const;
  // Selects the item with that text; a text the list lacks changes nothing.
  void SetText(const QString& text);
  // The value last picked, as a code of the chosen property (port: the name).
  int PickedCode() const { return picked_; }
  QString PickedPort() const { return pickedPort_; }

 private:
  void TakeText(const QString& text);

  TComProperty property_ = cpNone;
  int picked_ = 0;
  QString pickedPort_;
};
