#include "dialogs/IOIfaceConfigure.h"

#include <QHostAddress>
#include <QRegularExpression>
#include <stdexcept>

#include "link/IOIfaceSocket.h"
#include "link/dmViewer.h"
#include "platform/prompter.h"

bool IsNumericIPv4(const QString& host) {
  static const QRegularExpression dotted(QStringLiteral("^\\d{1,3}\\.\\d{1,3}\\.\\d{1,3}\\.\\d{1,3}$"));
  QHostAddress address;
  return dotted.match(host).hasMatch() && address.setAddress(host) &&
         address.protocol() == QAbstractSocket::IPv4Protocol;
}

std::unique_ptr<TIOIface> ConfigureIOInterface(TdatViewer& store, int& address, TComDialogModel model) {
  TFrmComDialog dialog(model);
  dialog.LoadFromSettings(store);
  if (Prompter().ExecDialog(dialog) != mrOk) return nullptr;
  dialog.SaveToSettings(store);
  address = dialog.GetAddress();
  if (!dialog.IsTcp()) throw std::runtime_error("Serial links are not available in this build");
  auto link = std::make_unique<TIOIfaceSocket>();
  const QString host = dialog.GetHostName().trimmed();
  if (IsNumericIPv4(host))
    link->SetAddress(host);
  else
    link->SetHost(host);
  link->SetPort(dialog.GetTcpPort());
  return link;
}
