#pragma once
// The events the component set's port watches and hands to the program, the
// line-error set it reports, and the components linked to a port.
#include <QObject>

class TCustomComPort;

// The events a port watches, numbered as in its set.
enum TComEvent : unsigned {
  evRxChar = 0,
  evTxEmpty = 1,
  evRxFlag = 2,
  evRing = 3,
  evBreak = 4,
  evCTS = 5,
  evDSR = 6,
  evError = 7,
  evRLSD = 8,
  evRx80Full = 9,
};
using TComEvents = unsigned;
constexpr TComEvents EventBit(TComEvent e) { return 1u << e; }
constexpr TComEvents kAllComEvents = (1u << 10) - 1;

// The priority the event thread asks for.
enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

// The line-error set of the error event.
namespace ComLineError {
constexpr int Frame = 0x01;
constexpr int Parity = 0x02;
constexpr int Overrun = 0x04;
constexpr int Break = 0x08;
constexpr int IO = 0x10;
constexpr int Mode = 0x20;
constexpr int RxOver = 0x40;
constexpr int TxFull = 0x80;
}  // namespace ComLineError

// A component linked to a port: it hears of the modem lines and of receive and
// transmit activity, and may take the received bytes as buffers.
class TComLink {
 public:
  virtual ~TComLink() = default;
  virtual void CTSChange(bool on) {}
  virtual void DSRChange(bool on) {}
  virtual void RLSDChange(bool on) {}
  virtual void RxActivity(bool on) {}
  virtual void TxActivity(bool on) {}
  virtual bool TakesRxBuffer() const { return false; }
  virtual void RxBuffer(const char* data, int count) {}
};

// Receives delivery mode 1's messages, one per event.
class TComEventWindow final : public QObject {
  Q_OBJECT
 public:
  explicit TComEventWindow(TCustomComPort* port);
  Q_INVOKABLE void Message();

 private:
  TCustomComPort* port_;
};
