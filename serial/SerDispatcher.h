#pragma once
// One open serial port: the device, the output ring that senders fill and the
// writer drains, the dispatch ring that received bytes wait in for the GUI side,
// and four worker threads (reader, writer, status, dispatch). No Qt here: the
// dispatch thread only asks, through a callback, for one delivery on the GUI side,
// and never waits for the GUI thread.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "serial/IOBuffers.h"
#include "serial/SerDevice.h"
#include "serial/SerTrace.h"

// Line flags of InitPort.
namespace SerLineFlag {
constexpr int DTR = 0x01;
constexpr int RTS = 0x02;
constexpr int UseDTR = 0x10;      // DTR under handshake control
constexpr int UseRTS = 0x20;      // RTS under handshake control
constexpr int RequireDSR = 0x40;
constexpr int RequireCTS = 0x80;
}  // namespace SerLineFlag

struct TSerDispatcherCallbacks {
  // From the reader, the dispatch thread or the GUI side: run DeliverAvail on the
  // GUI side soon. Called once per delivery: no second call until that one has run.
  std::function<void()> AvailReady;
  // From the dispatch thread: the worker threads ended on a device failure (a
  // negative code). Called at most once, after every byte received before it.
  std::function<void(int code)> Failed;
};

class TSerDispatcher {
 public:
  static constexpr int kRingSize = 8192;
  static constexpr int kInputBufferSize = 256;
  // Received bytes the reader lets wait for the dispatch ring before it stops reading.
  static constexpr int kInputQueueLimit = 64 * 1024;
  // The most one device read takes.
  static constexpr int kReadSize = 16 * kInputBufferSize;
  // Bytes of a stream that gather before the GUI side is told of them.
  static constexpr int kStreamBatch = 2 * kRingSize;

  TSerDispatcher(std::unique_ptr<TSerDevice> device, TSerDispatcherCallbacks callbacks);
  ~TSerDispatcher();
  TSerDispatcher(const TSerDispatcher&) = delete;
  TSerDispatcher& operator=(const TSerDispatcher&) = delete;

  // Opens the device, programs the line and starts the threads; 0 or a negative code.
  int InitPort(const std::string& deviceName, int baud, int lineFlags, int outSize, int inSize, int stopBits,
               int dataBits, int parity);
  // Drops pending output and input, stops and joins the threads, closes the device.
  void DonePort();
  // 0 (baud), 5 (parity), 3 (stop bits) and 9 (data bits) keep the current value.
  int SetLine(int baud, int parity, int stopBits, int dataBits);
  // 1 when the line is under handshake control or the device has no modem lines.
  int SetDTR(bool on);
  int SetRTS(bool on);
  int SetFlowControl(bool hardware, bool xonXoffOut, bool xonXoffIn, char xonChar, char xoffChar);

  // Any thread: all of the block or nothing (-3006); never waits for the writer.
  int PutBlock(const uint8_t* data, size_t count);
  // GUI side: inside a delivery the k-th call gives the k-th announced byte, and the
  // bytes are consumed when the delivery ends; outside, the byte is consumed at once.
  int GetChar(uint8_t& byte);
  // count bytes at once, as count GetChar calls would give them; -3005 when fewer are there.
  int GetBlock(uint8_t* out, int count);
  int InBuffUsed();
  int OutputUsed();
  void FlushInput();
  void FlushOutput();

  void SetAvailThreshold(int threshold);
  void SetPortHandlerInstalled(bool installed);

  // GUI side: announces every unread byte to handler(count), then consumes what
  // the handler read. No lock is held while the handler runs; it may close the port.
  void DeliverAvail(const std::function<void(int count)>& handler);
  bool InAvailMessage();

  bool Running() const { return running_; }
  int ModemStatus();
  // 10 after a device failure, 0 otherwise; cleared by the query.
  int LineError();

  TSerTrace& Trace() { return trace_; }
  TSerDispatchLog& Log() { return log_; }

 private:
  void StartDispatcher();
  void CloseCom();
  void Kill();
  void ReportFailure(int code);
  void Fail(int code);

  void ReaderLoop();
  void WriterLoop();
  void StatusLoop();
  void DispatchLoop();
  void ProcessCycle();
  void ExtractData();
  void ExtractLocked();
  // Copies into the ring's free room what it can take, without making it unread
  // yet; returns the bytes copied.
  int CopyIntoRing(const uint8_t* data, int count);
  // Makes the copied bytes unread and queues the rest behind them.
  void CommitReceived(int copied, std::vector<std::unique_ptr<TIOBuffer>>& rest);
  // Asks for a delivery when one is due.
  void AnnounceArrived();
  // When a delivery is due, marks it asked for; the caller then calls RequestDelivery
  // without the lock.
  bool ClaimDeliveryLocked();
  void RequestDelivery();
  // The GUI side took count bytes off the ring. True when a full ring got room.
  bool ConsumeLocked(int count);
  bool AvailDueLocked();
  int UnreadLocked() const;
  int PeekLocked(int n, uint8_t& byte) const;
  int OutputUsedLocked() const;
  void WaitOutputDrain(int baud, int bitsPerChar);
  void RunGuarded(void (TSerDispatcher::*loop)());

  std::unique_ptr<TSerDevice> device_;
  TSerDispatcherCallbacks callbacks_;
  bool deviceOpen_ = false;

  // The state lock: line state and handshake flags.
  std::mutex stateLock_;
  std::condition_variable stateChanged_;
  TSerLineState line_;
  bool dtr_ = false;
  bool rts_ = false;
  bool dtrFlow_ = false;
  bool rtsFlow_ = false;

  // The output lock: the output ring.
  std::mutex outLock_;
  std::condition_variable outReady_;
  std::vector<uint8_t> out_;
  size_t outHead_ = 0;
  size_t outTail_ = 0;
  bool outFull_ = false;
  uint64_t flushGeneration_ = 0;

  // The dispatch lock: the dispatch ring and the delivery bookkeeping.
  std::mutex dispatchLock_;
  // The dispatch thread waits on it only while the ring is full: it is told when a
  // full ring gets room, a failure is pending, or the port stops.
  std::condition_variable ringSpace_;
  std::vector<uint8_t> ring_;
  int writeIndex_ = 0;
  int readIndex_ = 0;
  bool ringFull_ = false;
  bool arrived_ = false;  // bytes entered the ring since the last delivery
  int availThreshold_ = 1;
  bool handlerInstalled_ = false;
  bool deliveryPosted_ = false;
  bool inAvail_ = false;
  int getCount_ = 0;
  bool consumeAll_ = false;  // the input was flushed inside a delivery
  int modemStatus_ = 0;

  TIOQueue input_;
  std::atomic<bool> kill_{false};
  std::atomic<bool> running_{false};
  std::atomic<bool> failureReported_{false};
  std::atomic<bool> failurePending_{false};
  std::atomic<int> lineError_{0};
  std::thread reader_, writer_, status_, dispatch_;

  TSerTrace trace_;
  TSerDispatchLog log_;
};
