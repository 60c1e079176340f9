#pragma once
// A TCP client link. Connection changes follow the socket's own signals, so the
// link is active only once the far end has accepted. Received bytes are handed
// on as they are read, also to a handler that waits in a nested event loop or a
// message box; connection changes are queued, and bytes read while one is still
// queued follow it, so that the events keep the order the socket saw them in.
#include <QTcpSocket>
#include <functional>

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
  void Queue(std::function<void()> event);
  void SocketStateChanged(QAbstractSocket::SocketState state);
  void SocketConnect();
  void SocketDisconnect();
  void SocketError(QAbstractSocket::SocketError error);

  QTcpSocket socket_;
  QString host_;
  QString address_;
  int port_ = 0;
  bool connected_ = false;  // OnConnect fired and OnDisconnect not yet
  int queued_ = 0;          // events posted and not yet handed on
};
