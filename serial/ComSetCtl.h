#pragma once
// A drop-down list of the values of one serial port setting (the connection dialog
// lists the baud rates with it), and the selector behind it that keeps the last
// chosen value of each kind.
#include <QComboBox>
#include <QString>
#include <QStringList>

enum TComProperty { cpNone, cpPort, cpBaudRate, cpDataBits, cpStopBits, cpParity, cpFlowControl };

class TComSelect {
 public:
  TComProperty Property() const { return property_; }
  // Keeps p and refills the items; for cpPort a failing port list propagates.
  void ChooseProperty(TComProperty p, QStringList& items);
  // Keeps the text's value for the chosen property.
  void TakeText(const QString& text);

  QString PortName() const { return portName_; }
  int BaudCode() const { return baudCode_; }
  int DataBitsCode() const { return dataBitsCode_; }
  int StopBitsCode() const { return stopBitsCode_; }
  int ParityCode() const { return parity_; }
  int FlowControlCode() const { return flowControl_; }

 private:
  TComProperty property_ = cpNone;
  QString portName_;
  int baudCode_ = 0;
  int dataBitsCode_ = 0;
  int stopBitsCode_ = 0;
  int parity_ = 0;
  int flowControl_ = 0;
};

class TComComboBox : public QComboBox {
  Q_OBJECT
 public:
  explicit TComComboBox(QWidget* parent = nullptr);

  TComProperty ComProperty() const { return select_.Property(); }
  void SetComProperty(TComProperty p);
  const TComSelect& Selector() const { return select_; }

  // The selected item's text, "" with no selection.
  QString Text() const;
  // Selects the item with that text; a text the list lacks changes nothing.
  void SetText(const QString& text);

 signals:
  void OnChange();

 private:
  void Change(int index);

  TComSelect select_;
};
