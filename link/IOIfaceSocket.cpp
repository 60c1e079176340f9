#include "link/IOIfaceSocket.h"

#include <QTimer>
#include <stdexcept>

#include "platform/guard.h"

TIOIfaceSocket::TIOIfaceSocket() : context_(std::make_unique<QObject>()), socket_(std::make_unique<QTcpSocket>()) {
  QObject::connect(socket_.get(), &QTcpSocket::readyRead, context_.get(), [this] { SocketRead(); });
  QObject::connect(socket_.get(), &QTcpSocket::connected, context_.get(), [this] { SocketConnect(); });
  QObject::connect(socket_.get(), &QTcpSocket::disconnected, context_.get(), [this] { SocketDisconnect(); });
  QObject::connect(socket_.get(), &QTcpSocket::errorOccurred, context_.get(),
                   [this](QAbstractSocket::SocketError error) { SocketError(error); });
}

TIOIfaceSocket::~TIOIfaceSocket() {
  UnbindEvents();
  socket_->disconnect(context_.get());
  socket_->abort();
}

bool TIOIfaceSocket::GetActive() const { return up_ && socket_->state() == QAbstractSocket::ConnectedState; }

void TIOIfaceSocket::Open() {
  if (socket_->state() != QAbstractSocket::UnconnectedState) return;
  socket_->connectToHost(host_.isEmpty() ? address_ : host_, static_cast<quint16>(port_));
}

void TIOIfaceSocket::Close() {
  if (socket_->state() == QAbstractSocket::UnconnectedState) return;
  socket_->abort();
  SocketDisconnect();
}

void TIOIfaceSocket::Send(const std::string& data) {
  if (!GetActive()) return;
  socket_->write(data.data(), static_cast<qint64>(data.size()));
}

QString TIOIfaceSocket::GetDescription() const {
  return QStringLiteral("%1:%2").arg(host_.isEmpty() ? address_ : host_).arg(port_);
}

void TIOIfaceSocket::SocketRead() {
  const QByteArray bytes = socket_->readAll();
  if (bytes.isEmpty()) return;
  std::string data(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  QMetaObject::invokeMethod(
      context_.get(), [this, data = std::move(data)] { FireRxData(data); }, Qt::QueuedConnection);
}

void TIOIfaceSocket::SocketConnect() {
  up_ = true;
  QMetaObject::invokeMethod(context_.get(), [this] { FireConnect(); }, Qt::QueuedConnection);
}

void TIOIfaceSocket::SocketDisconnect() {
  if (!up_) return;
  up_ = false;
  QMetaObject::invokeMethod(context_.get(), [this] { FireDisconnect(); }, Qt::QueuedConnection);
}

void TIOIfaceSocket::SocketError(QAbstractSocket::SocketError error) {
  if (error != QAbstractSocket::RemoteHostClosedError) {
    const std::string text = QStringLiteral("Socket error on %1: %2")
                                 .arg(GetDescription(), socket_->errorString())
                                 .toLatin1()
                                 .toStdString();
    QTimer::singleShot(0, context_.get(), [text] { ShowException(std::runtime_error(text)); });
  }
  SocketDisconnect();
}
