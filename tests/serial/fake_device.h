#pragma once
// A device the test controls: received chunks arrive as the test feeds them, writes
// can be held back, failures injected, and line changes counted.
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
  int readFailure = 0;  // returned by the next wait for input, once set
  int openResult = 0;
  int setLineCalls = 0;
  TSerLineState line;

  void Feed(const std::string& chunk);
  void FailReads(int code);
  void ReleaseWrites();
  std::string Written();
  int SetLineCalls();
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
  int WaitReadable() override;
  int WaitWritable() override;
  void Wake() override;
  int SetDTR(bool) override { return kNoModemLines; }
  int SetRTS(bool) override { return kNoModemLines; }
  int GetModemStatus(int& bits) override {
    bits = 0;
    return kNoModemLines;
  }
  bool HasModemLines() const override { return false; }
  void PurgeInput() override {}
  void PurgeOutput() override {}

 private:
  std::shared_ptr<TFakeDeviceState> s_;
};
