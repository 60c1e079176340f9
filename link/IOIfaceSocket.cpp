#include "link/IOIfaceSocket.h"

#include <sys/socket.h>

#include <QTimer>
#include <stdexcept>

#include "platform/guard.h"

TIOIfaceSocket::TIOIfaceSocket() {
  OnError = [](const QString& message) { ShowException(std::runtime_error(message.toStdString())); };
  // Unlike readyRead, channelReadyRead also comes while a handler of the bytes
  // before waits in a nested event loop.
  connect(&socket_, &QTcpSocket::channelReadyRead, this, &TIOIfaceSocket::SocketRead);
  connect(&socket_, &QTcpSocket::stateChanged, this, &TIOIfaceSocket::SocketStateChanged);
  connect(&socket_, &QTcpSocket::errorOccurred, this, &TIOIfaceSocket::SocketError);
}

TIOIfaceSocket::~TIOIfaceSocket() {
  // The socket aborts while it is destroyed; nothing of this half-gone link may
  // hear about it.
  socket_.disconnect(this);
  Unbind();
}

bool TIOIfaceSocket::GetActive() const { return socket_.state() == QAbstractSocket::ConnectedState; }

void TIOIfaceSocket::Open() {
  if (socket_.state() != QAbstractSocket::UnconnectedState) return;
  socket_.connectToHost(host_.isEmpty() ? address_ : host_, static_cast<quint16>(port_));
}

void TIOIfaceSocket::Close() {
  if (socket_.state() == QAbstractSocket::UnconnectedState) return;
  socket_.disconnectFromHost();
  if (socket_.state() != QAbstractSocket::UnconnectedState) socket_.abort();
}

// Out now, not on the event loop's next pass: a poll is on the wire in the tick
// that sends it. While the socket holds nothing unsent, the bytes go straight to
// its descriptor, which spares switching its write notifier on and off again (each
// switch wakes the event loop); what the descriptor does not take, an error
// included, goes through the socket, which queues it or reports the error.
void TIOIfaceSocket::Send(const std::string& data) {
  if (!GetActive()) return;
  std::size_t sent = 0;
  if (socket_.bytesToWrite() == 0) {
    const ssize_t n = ::send(static_cast<int>(socket_.socketDescriptor()), data.data(), data.size(), MSG_NOSIGNAL);
    if (n > 0) sent = static_cast<std::size_t>(n);
  }
  if (sent == data.size()) return;
  socket_.write(data.data() + sent, static_cast<qint64>(data.size() - sent));
  socket_.flush();
}

QString TIOIfaceSocket::GetDescription() const {
  return QStringLiteral("%1:%2").arg(host_.isEmpty() ? address_ : host_).arg(port_);
}

void TIOIfaceSocket::SocketRead() {
  const QByteArray bytes = socket_.readAll();
  if (bytes.isEmpty()) return;
  std::string data(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  // Bytes that come behind a connection change still queued wait their turn.
  if (queued_ > 0) {
    Queue([this, data = std::move(data)] { FireRxData(data); });
    return;
  }
  Guarded([&] { FireRxData(data); });
}

void TIOIfaceSocket::Queue(std::function<void()> event) {
  ++queued_;
  QMetaObject::invokeMethod(
      this,
      [this, event = std::move(event)] {
        --queued_;
        Guarded(event);
      },
      Qt::QueuedConnection);
}

void TIOIfaceSocket::SocketStateChanged(QAbstractSocket::SocketState state) {
  if (state == QAbstractSocket::ConnectedState && !connected_)
    SocketConnect();
  else if (state == QAbstractSocket::UnconnectedState && connected_)
    SocketDisconnect();
}

// Queued: a handler that opens a request or a box runs outside the socket's own
// state change.
void TIOIfaceSocket::SocketConnect() {
  connected_ = true;
  Queue([this] { FireConnect(); });
}

void TIOIfaceSocket::SocketDisconnect() {
  connected_ = false;
  Queue([this] { FireDisconnect(); });
}

void TIOIfaceSocket::SocketError(QAbstractSocket::SocketError error) {
  if (error == QAbstractSocket::RemoteHostClosedError) return;
  const QString message = QStringLiteral("Socket error on %1: %2").arg(GetDescription(), socket_.errorString());
  QTimer::singleShot(0, this, [this, message] {
    if (auto handler = OnError) Guarded([&] { handler(message); });
  });
}
