#pragma once
// One indicator that answered the discovery probe, as its XML reply describes it.
#include <QByteArray>
#include <QString>
#include <QStringList>

class TVelmacorDevice {
 public:
  QString IPAddress;
  QString DeviceClass;
  QString DeviceName;
  QString SerialNumber;
  QString Version;
  QString MACAddress;
  QString CustomID;
  QString TCPPort;
  QString Hostname;

  // Reads the reply's bytes as Latin-1 characters. Every element below a "device"
  // element below a "velmacor" element, at any depth and in document order, fills
  // the field its exact name stands for, so the last of a name wins; other elements
  // are passed over. A reply that is no well-formed XML fills no field. The IP
  // address is the datagram's sender, never the reply's.
  void Parse(const QByteArray& reply, const QString& fromIP);

  // The device finder's grid columns: IP address, class, name, serial number,
  // version, custom identifier, MAC address, TCP port, host name.
  QStringList Columns() const;
};
