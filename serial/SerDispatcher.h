#pragma once
// One open serial port: the device, the output ring that senders fill and the
// writer drains, the dispatch ring that received bytes wait in for the GUI side,
// and four worker threads (reader, writer, status, dispatch). No Qt here: the
// worker threads only ask, through a callback, for one delivery on the GUI side,
// and never wait for the GUI thread.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "serial/IOBuffers.h"
#include "serial/SerDevice.h"
#include "serial/SerTimer.h"
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

// The messages a port's handler gets, and the notices its users get.
namespace SerMsg {
constexpr int Avail = 0x7E01;   // WParam: the unread bytes announced
constexpr int Data = 0x7E02;    // WParam: the data trigger; Value: its pattern's length
constexpr int Timer = 0x7E03;   // WParam: the timer trigger
constexpr int Status = 0x7E04;  // WParam: the status trigger; Value: what met its condition
constexpr int PortOpened = 0x7E08;
constexpr int PortClosed = 0x7E09;
constexpr int PortClosing = 0x7E0A;
}  // namespace SerMsg

// Status trigger kinds, the low three bits of a status trigger's handle.
namespace SerStatus {
constexpr int ModemStatus = 1;  // a watched modem line changed
constexpr int LineError = 2;    // a watched line error is pending
constexpr int OutbuffFree = 3;  // at least the limit is free in the output ring
constexpr int OutbuffUsed = 4;  // at most the limit is used in the output ring
constexpr int OutSent = 5;      // a block was queued
constexpr int KindMask = 0x7;
}  // namespace SerStatus

struct TTriggerMessage {
  int Msg;
  int WParam;
  int Value;
};

struct TDataTrigger {
  int Handle;
  std::string Pattern;  // upper case when IgnoreCase
  bool IgnoreCase;
  std::vector<bool> Matching;  // position k: the last k + 1 bytes match the pattern's start
};

struct TTimerTrigger {
  int Handle;
  TEventTimer Timer;
  bool Active;
};

struct TStatusTrigger {
  int Handle;
  int Value;      // the modem lines or line errors watched, or the output limit
  int ModemLines;  // the lines when the trigger was armed
  bool Active;
};

// Every trigger of a port, as kept across a close and the next open.
struct TTriggerSet {
  std::vector<TDataTrigger> Data;
  std::vector<TTimerTrigger> Timers;
  std::vector<TStatusTrigger> Status;
  int NextSerial = 1;
  int AvailThreshold = 1;
};

struct TSerDispatcherCallbacks {
  // From any thread: run Deliver on the GUI side soon. Called once per delivery:
  // no second call until that one has run.
  std::function<void()> DeliveryReady;
  // From the dispatch thread: the worker threads ended on a device failure (a
  // negative code). Called at most once, after every byte received before it
  // entered the ring.
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
  static constexpr int kMaxPatternLength = 255;
  // A stream at the line's full rate: a UART hands on up to a FIFO's worth at a
  // time; after kStreamAfter of it, reads wait for about kBatchBytes, at most
  // kMaxBatchWait.
  static constexpr int kFifoBytes = 16;
  static constexpr std::chrono::milliseconds kStreamAfter{20};
  static constexpr int kBatchBytes = 256;
  static constexpr std::chrono::milliseconds kMaxBatchWait{20};

  TSerDispatcher(std::unique_ptr<TSerDevice> device, TSerDispatcherCallbacks callbacks);
  ~TSerDispatcher();
  TSerDispatcher(const TSerDispatcher&) = delete;
  TSerDispatcher& operator=(const TSerDispatcher&) = delete;

  // Opens the device, programs the line and starts the threads; 0 or a negative code.
  int InitPort(const std::string& deviceName, int baud, int lineFlags, int outSize, int inSize, int stopBits,
               int dataBits, int parity);
  // Drops pending output and input, stops and joins the threads, closes the device.
  void DonePort();
  // 0 (baud), 5 (parity), 3 (stop bits) and 9 (data bits) keep the device's value.
  // Values the device already has leave it alone; a change waits until what was
  // sent has left the device.
  int SetLine(int baud, int parity, int stopBits, int dataBits);
  // 1 when the line is under handshake control or the device has no modem lines.
  int SetDTR(bool on);
  int SetRTS(bool on);
  // hwFlags: the SerLineFlag handshake bits.
  int SetFlowControl(int hwFlags, bool xonXoffOut, bool xonXoffIn, char xonChar, char xoffChar);
  int SetRS485(bool on);
  // Gives the processor to other threads.
  int Yield();
  // Raises the worker threads by boost steps above the normal priority (the writer
  // one more in RS-485 mode). Linux lets no ordinary user raise a thread's
  // priority, nor restore one that was lowered, so the boost is kept and the
  // threads run at the normal priority.
  void SetPriorityBoost(int boost) { priorityBoost_ = boost; }
  int PriorityBoost() const { return priorityBoost_; }

  // Any thread: all of the block or nothing (-3006); never waits for the writer.
  int PutBlock(const uint8_t* data, size_t count);
  // GUI side: inside an avail or data message the k-th call gives the k-th unread
  // byte, and the bytes are consumed when the message's handler returns; outside,
  // the byte is consumed at once.
  int GetChar(uint8_t& byte);
  // count bytes at once, as count GetChar calls would give them; -3005 when fewer are there.
  int GetBlock(uint8_t* out, int count);
  // The n-th unread byte (from 1), left unread; -3007 when fewer are there.
  int PeekChar(int n, uint8_t& byte);
  int InBuffUsed();
  int OutputUsed();
  // Received bytes of the input queue's front buffer that wait for the dispatch ring.
  int InputQueued() { return input_.InputQueued(); }
  void FlushInput();
  void FlushOutput();

  void SetAvailThreshold(int threshold);
  void SetPortHandlerInstalled(bool installed);

  // Triggers: a handle, or a negative code. Data triggers match a pattern in the
  // received bytes; timer triggers expire after a number of 55 ms ticks; status
  // triggers watch modem lines, line errors or the output ring (SerStatus kinds).
  int AddDataTrigger(const std::string& pattern, bool ignoreCase);
  int AddTimerTrigger();
  int SetTimerTrigger(int handle, int ticks, bool activate);
  int AddStatusTrigger(int kind);
  // value: the modem lines or line errors to watch, or the output limit.
  int SetStatusTrigger(int handle, int value, bool activate);
  int RemoveTrigger(int handle);
  TTriggerSet Triggers();
  void RestoreTriggers(const TTriggerSet& triggers);

  // GUI side: hands each pending message to handler in order, then announces every
  // unread byte that came since the last announcement. No lock is held while the
  // handler runs; it may close the port.
  void Deliver(const std::function<void(const TTriggerMessage&)>& handler);
  bool InAvailMessage();

  bool Running() const { return running_; }
  // The threads ended on a device failure, which is on its way to the GUI side.
  bool Failed() const { return failed_; }
  // Modem lines in the high nibble, their changes since the last call in the low
  // one (0x04 also for a ring).
  int ModemStatus();
  // 10 after a device failure; else 1, 2, 3, 4 or 9 for the first pending of
  // receive overflow, overrun, parity, framing and break; 0 when none. Clears
  // what it reports but a break, which LineBreak reports and clears.
  int LineError();
  bool LineBreak();

  TSerTrace& Trace() { return trace_; }
  TSerDispatchLog& Log() { return log_; }

 private:
  struct TPendingMessage {
    TTriggerMessage Message;
    uint64_t End;  // an avail announces the unread bytes before this position
  };

  void StartDispatcher();
  void CloseCom();
  void Kill();
  void ReportFailure(int code);
  void Fail(int code);
  void LineErrorsSeen(int errors);

  void ReaderLoop();
  void WriterLoop();
  void StatusLoop(int last);
  void DispatchLoop();
  // False when the item ends the thread.
  bool HandleItem(const TIOBuffer& item);
  void CheckTriggers();
  std::chrono::milliseconds TimerWait();
  void Enqueue(const std::vector<TTriggerMessage>& messages);
  bool StatusConditionLocked(const TStatusTrigger& t, int& value);
  void UpdateWatchOutputLocked();

  // Copies into the ring's free room what it can take, without making it unread
  // yet; returns the bytes copied.
  int CopyIntoRing(const uint8_t* data, int count);
  // Makes the copied bytes unread and queues the rest behind them.
  void CommitReceived(int copied, std::vector<std::unique_ptr<TIOBuffer>>& rest);
  void CommitLocked(int count);
  void ScanLocked();
  void ExtractLocked();
  void AnnounceArrived();
  // Moves queued bytes into the ring's free room and announces them.
  void MoveQueuedUp();
  // When a delivery is due, marks it asked for; the caller then calls RequestDelivery
  // without the lock.
  bool ClaimDeliveryLocked();
  void RequestDelivery();
  // The GUI side took count bytes off the ring. True when a full ring got room.
  bool ConsumeLocked(int count);
  bool AvailDueLocked() const;
  int UnreadLocked() const;
  int PeekLocked(int n, uint8_t& byte) const;
  int OutputUsedLocked() const;
  int ApplyLineLocked(const TSerLineState& state);
  void WaitOutputDrain(const TSerLineState& line);
  void RunGuarded(const std::function<void()>& loop);
  int NewHandle(int kind);

  std::unique_ptr<TSerDevice> device_;
  TSerDispatcherCallbacks callbacks_;
  bool deviceOpen_ = false;

  // The state lock: line state, handshake flags, modem and line-error state, the
  // timer and status triggers.
  std::mutex stateLock_;
  std::condition_variable stateChanged_;
  bool dtr_ = false;
  bool rts_ = false;
  bool dtrFlow_ = false;
  bool rtsFlow_ = false;
  bool rs485_ = false;
  int modemStatus_ = 0;
  int lineErrors_ = 0;  // SerLineError bits, or -1 after a device failure
  std::vector<TTimerTrigger> timers_;
  std::vector<TStatusTrigger> statusTriggers_;
  std::atomic<int> nextSerial_{1};
  // Some active status trigger watches the output ring, so the dispatch thread is
  // told when it changes.
  std::atomic<bool> watchOutput_{false};
  std::atomic<bool> outputSent_{false};

  // The output lock: the output ring.
  std::mutex outLock_;
  std::condition_variable outReady_;
  std::vector<uint8_t> out_;
  size_t outHead_ = 0;
  size_t outTail_ = 0;
  bool outFull_ = false;
  uint64_t flushGeneration_ = 0;
  std::atomic<bool> writerBusy_{false};
  // What the line carries at its rate, for the reader's batches.
  std::atomic<int> bytesPerSecond_{0};

  // The dispatch lock: the dispatch ring, the data triggers, the messages waiting
  // for the GUI side and the delivery bookkeeping. Positions count every byte
  // since the open; the ring holds those from consumed_ to received_.
  std::mutex dispatchLock_;
  std::vector<uint8_t> ring_;
  uint64_t received_ = 0;
  uint64_t consumed_ = 0;
  uint64_t scanned_ = 0;   // examined by the data triggers
  uint64_t notified_ = 0;  // scanned when the last avail was announced
  std::vector<TDataTrigger> dataTriggers_;
  std::deque<TPendingMessage> pending_;
  int availThreshold_ = 1;
  bool handlerInstalled_ = false;
  bool deliveryPosted_ = false;
  bool inAvail_ = false;
  int getCount_ = 0;
  bool consumeAll_ = false;  // the input was flushed inside a message
  bool delivering_ = false;  // GUI side only

  TIOQueue input_;
  std::atomic<bool> kill_{false};
  std::atomic<bool> stopped_{false};
  std::atomic<bool> running_{false};
  std::atomic<bool> failureReported_{false};
  std::atomic<bool> failed_{false};
  int priorityBoost_ = 0;
  std::thread reader_, writer_, status_, dispatch_;

  TSerTrace trace_;
  TSerDispatchLog log_;
};
