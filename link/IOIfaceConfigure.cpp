#include "link/IOIfaceConfigure.h"

#include <QRegularExpression>

#include "link/IOIfaceSerial.h"
#include "link/IOIfaceSocket.h"

std::optional<QString> DecimalIPv4(const QString& text) {
  static const QRegularExpression dotted(QStringLiteral("^(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})$"));
  const QRegularExpressionMatch match = dotted.match(text);
  if (!match.hasMatch()) return std::nullopt;
  QStringList parts;
  for (int i = 1; i <= 4; ++i) {
    const int part = match.captured(i).toInt();  // base 10: a leading zero is no octal
    if (part > 255) return std::nullopt;
    parts << QString::number(part);
  }
  return parts.join(QLatin1Char('.'));
}

bool IsNumericIPv4(const QString& text) { return DecimalIPv4(text).has_value(); }

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
  if (const auto address = DecimalIPv4(host))
    link->SetAddress(*address);
  else
    link->SetHost(host);
  link->SetPort(settings.tcpPort);
  return link;
}
