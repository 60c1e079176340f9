#pragma once
// A device the test controls: received chunks arrive as the test feeds them, writes
// can be held back, failures injected, modem lines and line errors raised, and
// what the port did to the line recorded.
#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>

#include "serial/SerDevice.h"

struct TFakeDeviceState {
  std::mutex lock;
  std::condition_variable changed;
  std::deque<std::string> chunks;
  std::string written;
  bool holdWrites = false;
  bool woken = false;
  bool interrupted = false;
  int readFailure = 0;  // returned by the next wait for input, once set
  int openResult = 0;
  int setLineCalls = 0;
  TSerLineState line;
  // Modem lines: present or not, those up, and the lines the port drives.
  bool hasModemLines = false;
  int modemBits = 0;
  bool dtr = false;
  bool rts = false;
  bool rs485 = false;
  // Programming the line drops DTR and RTS, as some drivers do.
  bool lineDropsOutputs = false;
  int lineErrors = 0;
  // Bytes the device still has to send, and what it held when the line was set.
  int outputQueued = 0;
  int outputQueuedAtSetLine = -1;
  int outputCountCalls = 0;
  int failPurge = 0;
  int failSetDTR = 0;
  int failModemStatus = 0;
  int systemError = 0;

  void Feed(const std::string& chunk);
  void FailReads(int code);
  void ReleaseWrites();
  std::string Written();
  int SetLineCalls();
  // Raises or drops modem lines, as the far end would.
  void SetModemLines(int bits);
  void RaiseLineErrors(int errors);
  template <class T>
  T Get(T TFakeDeviceState::*field) {
    std::lock_guard l(lock);
    return this->*field;
  }
  template <class T>
  void Put(T TFakeDeviceState::*field, T value) {
    {
      std::lock_guard l(lock);
      this->*field = value;
    }
    changed.notify_all();
  }
};

class TFakeDevice final : public TSerDevice {
 public:
  explicit TFakeDevice(std::shared_ptr<TFakeDeviceState> state) : s_(std::move(state)) {}
  int Open(const std::string&) override;
  void Close() override {}
  int GetLineState(TSerLineState& state) override;
  int SetLineState(const TSerLineState& state) override;
  int Read(uint8_t* buffer, size_t count) override;
  int Write(const uint8_t* buffer, size_t count) override;
  int WaitReadable(int timeoutMs) override;
  int WaitWritable(int timeoutMs) override;
  int WaitModemChange(int& bits) override;
  void Interrupt() override;
  void Wake() override;
  int SetDTR(bool on) override;
  int SetRTS(bool on) override;
  int GetModemStatus(int& bits) override;
  bool HasModemLines() const override;
  int SetRS485(bool on) override;
  int TakeLineErrors() override;
  int InputCount() override;
  int OutputCount() override;
  int PurgeInput() override;
  int PurgeOutput() override;
  int LastSystemError() const override;

 private:
  std::shared_ptr<TFakeDeviceState> s_;
};
