#include "link/IOIfaceConfigure.h"

#include <QHostAddress>
#include <QRegularExpression>

#include "link/IOIfaceSerial.h"
#include "link/IOIfaceSocket.h"

bool IsNumericIPv4(const QString& text) {
  static const QRegularExpression dotted(QStringLiteral("^\\d{1,3}(\\.\\d{1,3}){3}$"));
  if (!dotted.match(text).hasMatch()) return false;
  QHostAddress address;
  return address.setAddress(text) && address.protocol() == QAbstractSocket::IPv4Protocol;
}

std::unique_ptr<TIOIface> CreateIOInterface(const TLinkSettings& settings) {
  if (!settings.tcp) {
    auto link = std::make_unique<TIOIfaceSerial>(settings.model);
    link->SetComPort(settings.serialPort);
    link->SetBaud(settings.baudRate);
    link->SetDataBits(settings.dataBits);
    link->SetStopBits(settings.stopBits);
    link->SetParity(settings.parity);
    return link;
  }
  auto link = std::make_unique<TIOIfaceSocket>();
  const QString host = settings.host.trimmed();
  if (IsNumericIPv4(host))
    link->SetAddress(host);
  else
    link->SetHost(host);
  link->SetPort(settings.tcpPort);
  return link;
}
