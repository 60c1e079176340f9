#include "discovery/NetAddress.h"

#include <arpa/inet.h>

QString DottedAddress(uint32_t address) {
  return QStringLiteral("%1.%2.%3.%4")
      .arg(address >> 24)
      .arg((address >> 16) & 0xFF)
      .arg((address >> 8) & 0xFF)
      .arg(address & 0xFF);
}

uint32_t BroadcastAddress(uint32_t address, uint32_t mask) { return (address & mask) | ~mask; }

QStringList InterfaceItems(const std::vector<TNetInterface>& interfaces) {
  QStringList items;
  for (const TNetInterface& i : interfaces)
    if (i.up && !i.loopback)
      items << DottedAddress(i.address) + QStringLiteral(" / ") + DottedAddress(BroadcastAddress(i.address, i.mask));
  return items;
}

QString InterfaceAddressFor(const std::vector<TNetInterface>& interfaces, const QString& typed) {
  // A text that is no dotted address reads as all ones, as the sockets' own conversion gives it.
  const uint32_t address = ntohl(inet_addr(typed.toLatin1().constData()));
  for (const TNetInterface& i : interfaces)
    if (i.up && (i.address & i.mask) == (address & i.mask)) return DottedAddress(i.address);
  return QStringLiteral("0.0.0.0");
}

bool HasInterfaceAddress(const std::vector<TNetInterface>& interfaces, const QString& dotted) {
  const in_addr_t address = inet_addr(dotted.toLatin1().constData());
  if (address == INADDR_NONE) return false;
  for (const TNetInterface& i : interfaces)
    if (i.up && i.address == ntohl(address)) return true;
  return false;
}
