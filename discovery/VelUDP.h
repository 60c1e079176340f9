#pragma once
// A small non-blocking UDP socket on the GUI thread. It is bound to a local address
// and port, sends a buffer to a remote host (looking a host name up while the
// window keeps working) and reports every datagram it receives with the sender's
// address. Broadcast is allowed, since the device finder sends its probe that way.
#include <QByteArray>
#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <stdexcept>

class QSocketNotifier;

// The component's socket failures.
class UDPSockError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TVelUDP : public QObject {
 public:
  static constexpr int kReceiveBufferSize = 2048;

  // Makes the socket, unbound; throws UDPSockError when none can be made.
  explicit TVelUDP(QObject* owner = nullptr);
  ~TVelUDP() override;
  TVelUDP(const TVelUDP&) = delete;
  TVelUDP& operator=(const TVelUDP&) = delete;

  const QString& RemoteHost() const { return remoteHost_; }
  void SetRemoteHost(const QString& host) { remoteHost_ = host; }
  int RemotePort() const { return remotePort_; }
  void SetRemotePort(int port) { remotePort_ = port; }
  // Changing either of these closes the socket and binds a new one at once.
  const QString& LocalHost() const { return localHost_; }
  void SetLocalHost(const QString& host);
  int LocalPort() const { return localPort_; }
  void SetLocalPort(int port);
  // Status messages up to this level reach OnStatus; 1 after construction.
  int ReportLevel() const { return reportLevel_; }
  void SetReportLevel(int level) { reportLevel_ = level; }
  const QString& StatusText() const { return statusText_; }
  // The system's code of the last socket failure.
  int LastError() const { return lastError_; }

  // Listens on LocalPort of every address, to hear replies sent to a broadcast
  // address too, and starts reporting datagrams; sends go out from LocalHost
  // (dotted), which must be an address of this computer or 0.0.0.0.
  void Loaded();
  // Sends buffer to RemotePort of RemoteHost, which may be a host name. Throws
  // UDPSockError when the host is unknown or the send fails, and when a host lookup
  // of an earlier send is still waiting.
  void SendBuffer(QByteArray buffer);
  // Copies the last datagram into buffer. length: in, the room in buffer; out, the
  // bytes copied (never more than the room).
  void ReadBuffer(char* buffer, int& length) const;
  void StatusMessage(int level, const QString& text);

  // A datagram arrived: its length (at most kReceiveBufferSize) and its sender; or a
  // receive failed: -1, from 0.0.0.0 port 0.
  std::function<void(TVelUDP* sender, int numberBytes, const QString& fromIP, int port)> OnDataReceived;
  std::function<void(TVelUDP* sender)> OnDataSend;
  std::function<void(TVelUDP* sender, const QString& status)> OnStatus;
  // The remote host name is unknown; handled true looks it up once more.
  std::function<void(bool& handled)> OnInvalidHost;
  // SendBuffer got no bytes; handled true with bytes in buffer sends those instead.
  std::function<void(bool& handled, QByteArray& buffer)> OnBufferInvalid;
  // Runs before a socket failure is thrown.
  std::function<void(TVelUDP* sender, int errorCode, const QString& message)> OnSocketError;

 private:
  struct TLookupWait;

  void CreateSocket();
  void CloseSocket();
  void RecreateSocket();
  // Throws UDPSockError (after OnSocketError) unless code is the tolerated one.
  void ErrorCheck(int code);
  [[noreturn]] void RaiseSocketError(int code, const QString& message);
  uint32_t ResolveRemoteHost();
  // Waits, pumping events, for the lookup of RemoteHost; false when it is unknown.
  bool LookUpRemoteHost(uint32_t& address);
  void Receive();
  // 0 when address is this computer's (or any), else the system's reason.
  static int CheckLocalAddress(uint32_t address);

  std::array<char, kReceiveBufferSize> receiveBuffer_{};
  int receivedLength_ = 0;
  QString remoteHost_;
  int remotePort_ = 0;
  QString localHost_;
  int localPort_ = 0;
  int reportLevel_ = 1;
  QString statusText_;
  int lastError_ = 0;
  int socket_ = -1;
  uint32_t sendFrom_ = 0;  // host byte order; 0 lets the route choose
  QSocketNotifier* notifier_ = nullptr;
  TLookupWait* lookup_ = nullptr;  // the lookup a send waits for, if any
};
