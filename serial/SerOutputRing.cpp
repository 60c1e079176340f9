#include "serial/SerOutputRing.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "serial/SerErrorCodes.h"
#include "serial/SerLineControl.h"

void TSerOutputRing::Allocate(size_t size) {
  std::lock_guard lock(lock_);
  ring_.assign(size, 0);
  head_ = tail_ = 0;
  full_ = false;
}

int TSerOutputRing::UsedLocked() const {
  if (full_) return static_cast<int>(ring_.size());
  if (head_ >= tail_) return static_cast<int>(head_ - tail_);
  return static_cast<int>(head_ + ring_.size() - tail_);
}

int TSerOutputRing::Used() {
  std::lock_guard lock(lock_);
  return UsedLocked();
}

int TSerOutputRing::Free() {
  std::lock_guard lock(lock_);
  return static_cast<int>(ring_.size()) - UsedLocked();
}

int TSerOutputRing::Put(const uint8_t* data, size_t count) {
  {
    std::lock_guard lock(lock_);
    const size_t free = ring_.size() - static_cast<size_t>(UsedLocked());
    if (free < count) return SerErr::OutputBufferTooSmall;
    const size_t first = std::min(count, ring_.size() - head_);
    std::memcpy(ring_.data() + head_, data, first);
    std::memcpy(ring_.data(), data + first, count - first);
    head_ = (head_ + count) % ring_.size();
    if (free == count) full_ = true;
  }
  ready_.notify_one();
  return SerErr::Ok;
}

void TSerOutputRing::Flush() {
  std::lock_guard lock(lock_);
  head_ = tail_ = 0;
  full_ = false;
  ++flushGeneration_;
}

void TSerOutputRing::WakeWriter() {
  { std::lock_guard lock(lock_); }
  ready_.notify_all();
}

void TSerOutputRing::RunWriter(TSerDevice& device, const std::atomic<bool>& kill, const std::function<void()>& taken,
                               const std::function<void(int)>& fail) {
  std::vector<uint8_t> block;
  while (!kill) {
    uint64_t generation;
    {
      std::unique_lock lock(lock_);
      ready_.wait(lock, [&] { return kill || UsedLocked() > 0; });
      if (kill) return;
      const size_t used = static_cast<size_t>(UsedLocked());
      block.resize(used);
      const size_t first = std::min(used, ring_.size() - tail_);
      std::memcpy(block.data(), ring_.data() + tail_, first);
      std::memcpy(block.data() + first, ring_.data(), used - first);
      head_ = tail_ = 0;
      full_ = false;
      generation = flushGeneration_;
      writerBusy_ = true;
    }
    taken();
    size_t done = 0;
    while (done < block.size() && !kill) {
      {
        std::lock_guard lock(lock_);
        if (generation != flushGeneration_) break;
      }
      const int n = device.Write(block.data() + done, block.size() - done);
      if (n < 0) {
        writerBusy_ = false;
        return fail(n);
      }
      done += static_cast<size_t>(n);
      if (n == 0) {
        const int ready = device.WaitWritable(SerWait::Forever);
        if (ready == SerWait::Woken) break;
        if (ready < 0) {
          writerBusy_ = false;
          return fail(ready);
        }
      }
    }
    writerBusy_ = false;
  }
}

// Changing the line under bytes still on their way would garble them: those in the
// ring, those the writer holds, and those the device has yet to send.
void TSerOutputRing::WaitDrained(TSerDevice& device, const std::atomic<bool>& kill, const TSerLineState& line) {
  for (int i = 0; i < 5000 && !kill && (Used() > 0 || writerBusy_ || device.OutputCount() > 0); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  if (line.Baud <= 0) return;
  long long micros = 18LL * BitsPerChar(line) * 1000000LL / line.Baud;
  if (micros < 1000) micros *= 2;
  std::this_thread::sleep_for(std::chrono::microseconds(micros));
}
