#include "fake_device.h"

#include <algorithm>
#include <cstring>

void TFakeDeviceState::Feed(const std::string& chunk) {
  {
    std::lock_guard l(lock);
    chunks.push_back(chunk);
  }
  changed.notify_all();
}

void TFakeDeviceState::FailReads(int code) {
  {
    std::lock_guard l(lock);
    readFailure = code;
  }
  changed.notify_all();
}

void TFakeDeviceState::ReleaseWrites() {
  {
    std::lock_guard l(lock);
    holdWrites = false;
  }
  changed.notify_all();
}

std::string TFakeDeviceState::Written() {
  std::lock_guard l(lock);
  return written;
}

int TFakeDeviceState::SetLineCalls() {
  std::lock_guard l(lock);
  return setLineCalls;
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

int TFakeDevice::WaitReadable() {
  std::unique_lock l(s_->lock);
  s_->changed.wait(l, [this] { return s_->woken || !s_->chunks.empty() || s_->readFailure != 0; });
  if (s_->woken) return SerWait::Woken;
  if (s_->chunks.empty()) return s_->readFailure;
  return SerWait::Ready;
}

int TFakeDevice::WaitWritable() {
  std::unique_lock l(s_->lock);
  s_->changed.wait(l, [this] { return s_->woken || !s_->holdWrites; });
  return s_->woken ? SerWait::Woken : SerWait::Ready;
}

void TFakeDevice::Wake() {
  {
    std::lock_guard l(s_->lock);
    s_->woken = true;
  }
  s_->changed.notify_all();
}
