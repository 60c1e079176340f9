// The Device Finder menu item: the finder's chosen indicator becomes a TCP connection.
#include <optional>

#include "dialogs/comdialog.h"
#include "discovery/NetDevices.h"
#include "link/dmViewer.h"
#include "mainwindow/window/main.h"
#include "platform/prompter.h"

namespace {

// The device's TCP port text as a port, or 0 (keep the stored port) when it is none.
int TcpPortOf(const QString& text) {
  bool ok = false;
  const int port = text.toInt(&ok);
  return ok && port >= 1 && port <= 65535 ? port : 0;
}

}  // namespace

void TFrmMain::MnuDeviceFinderClick() {
  if (!datViewer) return;
  std::optional<TTcpChoice> choice;
  {
    TfrmNetworkDevices finder(this);
    // While a link is open only finding is allowed.
    finder.SetAllowConnect(!LinkActive());
    finder.SetFinderAddress(datViewer->GetDeviceFinderAddress());
    const int result = Prompter().ExecDialog(finder);
    datViewer->SetDeviceFinderAddress(finder.GetFinderAddress());
    if (result == mrOk && !finder.GetSelectedIPAddress().isEmpty())
      choice = TTcpChoice{finder.GetSelectedIPAddress(), TcpPortOf(finder.GetSelectedTCPPort())};
  }
  if (!choice) return;
  datViewer->SetConnectionType(1);
  datViewer->SetTcpHostname(choice->host);
  if (choice->port > 0) datViewer->SetTcpPort(choice->port);
  // The store keeps nothing without an ini file, so the dialog is handed the choice itself.
  ConnectInstrument(&*choice);
}
