#pragma once
// One open serial port: the device, its line, the output ring that senders fill
// and the writer drains, the receive ring that received bytes wait in for the GUI
// side, the triggers, and four worker threads (reader, writer, status, dispatch).
// No Qt here: the worker threads only ask, through a callback, for one delivery
// on the GUI side, and never wait for the GUI thread.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "serial/IOBuffers.h"
#include "serial/SerDevice.h"
#include "serial/SerLineControl.h"
#include "serial/SerOutputRing.h"
#include "serial/SerReceiveRing.h"
#include "serial/SerTrace.h"
#include "serial/SerTriggers.h"

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
  static constexpr int kRingSize = TSerReceiveRing::kSize;
  static constexpr int kInputBufferSize = TSerReceiveRing::kInputBufferSize;
  // Received bytes the reader lets wait for the dispatch ring before it stops reading.
  static constexpr int kInputQueueLimit = 64 * 1024;
  // The most one device read takes.
  static constexpr int kReadSize = 16 * kInputBufferSize;
  static constexpr int kMaxPatternLength = TSerReceiveRing::kMaxPatternLength;
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
  // TSerLineControl::SetLine; a change waits until what was sent has left the device.
  int SetLine(int baud, int parity, int stopBits, int dataBits);
  int SetDTR(bool on) { return line_.SetDTR(on); }
  int SetRTS(bool on) { return line_.SetRTS(on); }
  int SetFlowControl(int hwFlags, bool xonXoffOut, bool xonXoffIn, char xonChar, char xoffChar) {
    return line_.SetFlowControl(hwFlags, xonXoffOut, xonXoffIn, xonChar, xoffChar);
  }
  int SetRS485(bool on) { return line_.SetRS485(on); }
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
  // TSerReceiveRing::GetChar.
  int GetChar(uint8_t& byte) { return ring_.GetChar(byte); }
  // count bytes at once, as count GetChar calls would give them; -3005 when fewer are there.
  int GetBlock(uint8_t* out, int count) { return ring_.GetBlock(out, count); }
  // The n-th unread byte (from 1), left unread; -3007 when fewer are there.
  int PeekChar(int n, uint8_t& byte) { return ring_.PeekChar(n, byte); }
  int InBuffUsed() { return ring_.InBuffUsed(); }
  int OutputUsed() { return out_.Used(); }
  // Received bytes of the input queue's front buffer that wait for the dispatch ring.
  int InputQueued() { return input_.InputQueued(); }
  void FlushInput();
  void FlushOutput();

  void SetAvailThreshold(int threshold) { ring_.SetAvailThreshold(threshold); }
  void SetPortHandlerInstalled(bool installed) { ring_.SetPortHandlerInstalled(installed); }

  // Triggers: a handle, or a negative code. Data triggers match a pattern in the
  // received bytes; timer triggers expire after a number of 55 ms ticks; status
  // triggers watch modem lines, line errors or the output ring (SerStatus kinds).
  int AddDataTrigger(const std::string& pattern, bool ignoreCase);
  int AddTimerTrigger() { return triggers_.AddTimer(); }
  int SetTimerTrigger(int handle, int ticks, bool activate);
  int AddStatusTrigger(int kind) { return triggers_.AddStatus(kind); }
  // value: the modem lines or line errors to watch, or the output limit.
  int SetStatusTrigger(int handle, int value, bool activate);
  int RemoveTrigger(int handle);
  TTriggerSet Triggers();
  void RestoreTriggers(const TTriggerSet& triggers);

  // GUI side: hands each pending message to handler in order, then announces every
  // unread byte that came since the last announcement. No lock is held while the
  // handler runs; it may close the port.
  void Deliver(const std::function<void(const TTriggerMessage&)>& handler) { ring_.Deliver(handler); }
  bool InAvailMessage() { return ring_.InAvailMessage(); }

  bool Running() const { return running_; }
  // The threads ended on a device failure, which is on its way to the GUI side.
  bool Failed() const { return failed_; }
  // TSerLineControl::ModemStatus, LineError and LineBreak.
  int ModemStatus() { return line_.ModemStatus(); }
  int LineError() { return line_.LineError(); }
  bool LineBreak() { return line_.LineBreak(); }

  TSerTrace& Trace() { return trace_; }
  TSerDispatchLog& Log() { return log_; }

 private:
  void StartDispatcher();
  void CloseCom();
  void Kill();
  void ReportFailure(int code);
  void Fail(int code);
  void LineErrorsSeen(int errors);

  void ReaderLoop();
  void StatusLoop(int last);
  void DispatchLoop();
  // False when the item ends the thread.
  bool HandleItem(const TIOBuffer& item);
  void CheckTriggers();
  void RunGuarded(const std::function<void()>& loop);

  std::unique_ptr<TSerDevice> device_;
  TSerDispatcherCallbacks callbacks_;
  bool deviceOpen_ = false;

  TIOQueue input_;
  std::atomic<bool> kill_{false};
  std::atomic<bool> stopped_{false};
  std::atomic<bool> running_{false};
  std::atomic<bool> failureReported_{false};
  std::atomic<bool> failed_{false};
  // The reader's pauses between batches and an idle status thread end with the kill.
  std::mutex killLock_;
  std::condition_variable killed_;
  int priorityBoost_ = 0;

  TSerTrace trace_;
  TSerDispatchLog log_;
  TSerLineControl line_;
  TSerOutputRing out_;
  TSerTriggers triggers_;
  TSerReceiveRing ring_;
  std::thread reader_, writer_, status_, dispatch_;
};
