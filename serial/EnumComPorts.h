#pragma once
// The system's serial ports, by device path, from the tty class of sysfs: every
// entry backed by a device, where the 8250-style ttyS* entries count only when a
// UART was found behind them (port type not 0).
#include <QString>
#include <QStringList>

QString DefaultTtyClassRoot();

// Replaces list by the ports' device paths ("/dev/" + entry), sorted ignoring case.
// Raises EComPort code 23 with errno when the class folder cannot be read; the list
// is then left as it was.
void EnumComPorts(QStringList& list, const QString& ttyClassRoot = DefaultTtyClassRoot());
