#include "fake_device.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <utility>

#include "serial/SerErrorCodes.h"

void TFakeDeviceState::Feed(const std::string& chunk) {
  {
    std::lock_guard l(lock);
    chunks.push_back(chunk);
  }
  changed.notify_all();
}

void TFakeDeviceState::FailReads(int code) { Put(&TFakeDeviceState::readFailure, code); }
void TFakeDeviceState::ReleaseWrites() { Put(&TFakeDeviceState::holdWrites, false); }
std::string TFakeDeviceState::Written() { return Get(&TFakeDeviceState::written); }
int TFakeDeviceState::SetLineCalls() { return Get(&TFakeDeviceState::setLineCalls); }

void TFakeDeviceState::SetModemLines(int bits) {
  {
    std::lock_guard l(lock);
    modemBits = bits;
  }
  changed.notify_all();
}

void TFakeDeviceState::RaiseLineErrors(int errors) {
  {
    std::lock_guard l(lock);
    lineErrors |= errors;
    // The error shows with the next read, as a driver's counters do.
    chunks.push_back(std::string());
  }
  changed.notify_all();
}

int TFakeDevice::Open(const std::string&) {
  std::lock_guard l(s_->lock);
  s_->woken = false;
  return s_->openResult;
}

int TFakeDevice::GetLineState(TSerLineState& state) {
  std::lock_guard l(s_->lock);
  state = s_->line;
  return 0;
}

int TFakeDevice::SetLineState(const TSerLineState& state) {
  std::lock_guard l(s_->lock);
  s_->line = state;
  ++s_->setLineCalls;
  s_->outputQueuedAtSetLine = s_->outputQueued;
  if (s_->lineDropsOutputs) s_->dtr = s_->rts = false;
  return 0;
}

int TFakeDevice::Read(uint8_t* buffer, size_t count) {
  std::lock_guard l(s_->lock);
  if (s_->chunks.empty()) return 0;
  std::string& front = s_->chunks.front();
  const size_t n = std::min(count, front.size());
  std::memcpy(buffer, front.data(), n);
  front.erase(0, n);
  if (front.empty()) s_->chunks.pop_front();
  return static_cast<int>(n);
}

int TFakeDevice::Write(const uint8_t* buffer, size_t count) {
  std::lock_guard l(s_->lock);
  if (s_->holdWrites) return 0;
  s_->written.append(reinterpret_cast<const char*>(buffer), count);
  return static_cast<int>(count);
}

int TFakeDevice::WaitReadable(int timeoutMs) {
  std::unique_lock l(s_->lock);
  const auto ready = [this] {
    return s_->woken || s_->interrupted || !s_->chunks.empty() || s_->readFailure != 0;
  };
  if (timeoutMs < 0)
    s_->changed.wait(l, ready);
  else if (!s_->changed.wait_for(l, std::chrono::milliseconds(timeoutMs), ready))
    return SerWait::TimedOut;
  if (s_->woken) return SerWait::Woken;
  if (s_->interrupted) {
    s_->interrupted = false;
    return SerWait::TimedOut;
  }
  if (s_->chunks.empty()) return s_->readFailure;
  return SerWait::Ready;
}

int TFakeDevice::WaitWritable(int) {
  std::unique_lock l(s_->lock);
  s_->changed.wait(l, [this] { return s_->woken || !s_->holdWrites; });
  return s_->woken ? SerWait::Woken : SerWait::Ready;
}

int TFakeDevice::WaitModemChange(int& bits) {
  std::unique_lock l(s_->lock);
  if (!s_->hasModemLines) return SerWait::NoModemLines;
  s_->changed.wait(l, [&] { return s_->woken || s_->modemBits != bits; });
  if (s_->woken) return SerWait::Woken;
  bits = s_->modemBits;
  return SerWait::Ready;
}

void TFakeDevice::Interrupt() { s_->Put(&TFakeDeviceState::interrupted, true); }
void TFakeDevice::Wake() { s_->Put(&TFakeDeviceState::woken, true); }

int TFakeDevice::SetDTR(bool on) {
  std::lock_guard l(s_->lock);
  if (!s_->hasModemLines) return kNoModemLines;
  if (s_->failSetDTR) return s_->failSetDTR;
  s_->dtr = on;
  return 0;
}

int TFakeDevice::SetRTS(bool on) {
  std::lock_guard l(s_->lock);
  if (!s_->hasModemLines) return kNoModemLines;
  s_->rts = on;
  return 0;
}

int TFakeDevice::GetModemStatus(int& bits) {
  std::lock_guard l(s_->lock);
  bits = s_->modemBits;
  if (s_->failModemStatus) return s_->failModemStatus;
  return s_->hasModemLines ? 0 : kNoModemLines;
}

bool TFakeDevice::HasModemLines() const {
  std::lock_guard l(s_->lock);
  return s_->hasModemLines;
}

int TFakeDevice::SetRS485(bool on) {
  std::lock_guard l(s_->lock);
  s_->rs485 = on;
  return 0;
}

int TFakeDevice::TakeLineErrors() {
  std::lock_guard l(s_->lock);
  return std::exchange(s_->lineErrors, 0);
}

int TFakeDevice::InputCount() {
  std::lock_guard l(s_->lock);
  int n = 0;
  for (const std::string& c : s_->chunks) n += static_cast<int>(c.size());
  return n;
}

int TFakeDevice::OutputCount() {
  {
    std::lock_guard l(s_->lock);
    ++s_->outputCountCalls;
  }
  s_->changed.notify_all();
  std::lock_guard l(s_->lock);
  return s_->outputQueued;
}

int TFakeDevice::PurgeInput() {
  std::lock_guard l(s_->lock);
  return s_->failPurge;
}

int TFakeDevice::PurgeOutput() {
  std::lock_guard l(s_->lock);
  return s_->failPurge;
}

int TFakeDevice::LastSystemError() const {
  std::lock_guard l(s_->lock);
  return s_->systemError;
}
