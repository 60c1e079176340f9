#pragma once
// A TCP client link. Connection changes follow the socket's own signals, so the
// link is active only once the far end has accepted. Received bytes are handed
// on through a queued call: a handler that waits in a nested event loop or a
// message box never holds up the socket's own notifications.
#include <QTcpSocket>

#include "link/IOIface.h"

class TIOIfaceSocket final : public TIOIface {
 public:
  TIOIfaceSocket();
  ~TIOIfaceSocket() override;

  bool GetActive() const override;
  void Open() override;
  void Close() override;
  void Send(const std::string& data) override;
  // "host:port", with the address when no host name was set.
  QString GetDescription() const override;

  void SetHost(const QString& name) { host_ = name; }
  void SetAddress(const QString& dotted) { address_ = dotted; }
  void SetPort(int port) { port_ = port; }

  // Socket failures other than the far end closing; shown as an error box by
  // default, posted so that it never opens inside the socket's signal.
  std::function<void(const QString& message)> OnError;

 private:
  void SocketRead();
  void SocketStateChanged(QAbstractSocket::SocketState state);
  void SocketConnect();
  void SocketDisconnect();
  void SocketError(QAbstractSocket::SocketError error);

  QTcpSocket socket_;
  QString host_;
  QString address_;
  int port_ = 0;
  bool connected_ = false;  // OnConnect fired and OnDisconnect not yet
};
