#pragma once
// Turns the choice of the connection dialog into a new, unopened link.
#include <QString>
#include <memory>
#include <optional>

#include "link/IOIface.h"
#include "link/dmViewer.h"

struct TLinkSettings {
  bool tcp = false;
  QString host;  // host name or dotted IPv4 address
  int tcpPort = 2222;
  QString serialPort;
  int baudRate = 9600;
  int dataBits = 8;
  int stopBits = 1;
  int parity = 0;  // 0 none, 1 odd, 2 even
  TViewerModel model = TViewerModel::W830;  // the W830 also sets RTS off and DTR on
};

// A closed link of the chosen kind, with no handler bound; the caller owns it.
std::unique_ptr<TIOIface> CreateIOInterface(const TLinkSettings& settings);

// True for a dotted IPv4 address such as 10.0.0.5, false for a host name.
bool IsNumericIPv4(const QString& text);
// The address of a dotted IPv4 text, each part read as decimal, as front panels
// show it: "192.168.001.010" is 192.168.1.10 (never octal, as a name lookup reads it).
std::optional<QString> DecimalIPv4(const QString& text);
