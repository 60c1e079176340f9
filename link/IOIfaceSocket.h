#pragma once
// A TCP client link. Received bytes and connection changes reach the events
// through queued calls, in the order they happened, so a handler that waits in a
// nested event loop never holds up the socket's own notifications. A connection that was up and goes down, by a close, the far end
// or an error, fires OnDisconnect exactly once; errors other than the far end
// closing are shown in the application's error box, posted.
#include <QObject>
#include <QTcpSocket>
#include <memory>

#include "link/IOIface.h"

class TIOIfaceSocket final : public TIOIface {
 public:
  TIOIfaceSocket();
  ~TIOIfaceSocket() override;

  void SetHost(const QString& name) { host_ = name; }
  void SetAddress(const QString& dotted) { address_ = dotted; }
  void SetPort(int port) { port_ = port; }

  bool GetActive() const override;
  void Open() override;
  void Close() override;
  void Send(const std::string& data) override;
  // "host:port", or "address:port" when no host name is set.
  QString GetDescription() const override;

 private:
  void SocketRead();
  void SocketConnect();
  void SocketDisconnect();
  void SocketError(QAbstractSocket::SocketError error);

  // Owns the posted deliveries: they are dropped when the link goes.
  std::unique_ptr<QObject> context_;
  std::unique_ptr<QTcpSocket> socket_;
  QString host_;
  QString address_;
  int port_ = 0;
  bool up_ = false;
};
