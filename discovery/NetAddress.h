#pragma once
// IPv4 addresses as the device finder shows and reads them, and the address box's
// list of the computer's interfaces.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

#include "platform/netinterfaces.h"

// "a.b.c.d" of an address in host byte order.
QString DottedAddress(uint32_t address);
// The subnet's broadcast address: (address AND mask) OR (NOT mask).
uint32_t BroadcastAddress(uint32_t address, uint32_t mask);
// One "address / broadcast" item per interface that is up and not the loopback.
QStringList InterfaceItems(const std::vector<TNetInterface>& interfaces);
// Whether an interface that is up has this dotted address.
bool HasInterfaceAddress(const std::vector<TNetInterface>& interfaces, const QString& dotted);
// The address of the first interface that is up (the loopback too) whose subnet
// holds the typed address, or "0.0.0.0" when none does or the text is no address.
QString InterfaceAddressFor(const std::vector<TNetInterface>& interfaces, const QString& typed);
