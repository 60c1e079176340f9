// Reads and writes of the component set's port under its time-outs, and what the
// device tells of its queues, modem lines and line errors.
#include <algorithm>
#include <chrono>

#include "serial/CustomComPort.h"

int TCustomComPort::TakeQueued(char* out, int count) {
  const int n = std::min(count, static_cast<int>(queue_.size()));
  std::copy_n(queue_.begin(), n, out);
  queue_.erase(queue_.begin(), queue_.begin() + n);
  if (n > 0) changed_.notify_all();
  return n;
}

int TCustomComPort::Read(char* buffer, int count) {
  if (!connected_ || count <= 0) return 0;
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  const int interval = timeouts_.ReadInterval;
  const long long total = static_cast<long long>(timeouts_.ReadTotalMultiplier) * count + timeouts_.ReadTotalConstant;
  const bool threaded = eventThread_.joinable();
  auto lastByte = start;
  int got = 0;
  for (;;) {
    int n;
    if (threaded) {
      std::lock_guard lock(lock_);
      n = TakeQueued(buffer + got, count - got);
      if (n == 0 && readFailure_ != 0) throw EComPort(3, device_->LastSystemError());
    } else {
      n = device_->Read(reinterpret_cast<uint8_t*>(buffer + got), static_cast<size_t>(count - got));
      if (n < 0) Raise(3);
    }
    got += n;
    if (n > 0) lastByte = Clock::now();
    if (got == count) break;
    // No interval: with no total either, what is there; else the first bytes that come.
    if (interval == -1 && (total <= 0 || got > 0)) break;
    auto deadline = Clock::time_point::max();
    if (total > 0) deadline = start + std::chrono::milliseconds(total);
    if (interval > 0 && got > 0) deadline = std::min(deadline, lastByte + std::chrono::milliseconds(interval));
    if (Clock::now() >= deadline) break;
    if (threaded) {
      std::unique_lock lock(lock_);
      const auto ready = [this] { return !queue_.empty() || readFailure_ != 0 || stop_; };
      if (deadline == Clock::time_point::max())
        changed_.wait(lock, ready);
      else
        changed_.wait_until(lock, deadline, ready);
    } else {
      const int ms = deadline == Clock::time_point::max()
                         ? SerWait::Forever
                         : static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count());
      const int r = device_->WaitReadable(std::max(ms, SerWait::Forever));
      if (r == SerWait::Woken) break;
      if (r < 0) Raise(3);
    }
  }
  if (InputCount() == 0)
    for (TComLink* link : links_) link->RxActivity(false);
  return got;
}

int TCustomComPort::Write(const char* data, int count) {
  if (!connected_ || count <= 0) return 0;
  using Clock = std::chrono::steady_clock;
  for (TComLink* link : links_) link->TxActivity(true);
  const long long total =
      static_cast<long long>(timeouts_.WriteTotalMultiplier) * count + timeouts_.WriteTotalConstant;
  const auto deadline = total > 0 ? Clock::now() + std::chrono::milliseconds(total) : Clock::time_point::max();
  int done = 0;
  while (done < count) {
    const int n = device_->Write(reinterpret_cast<const uint8_t*>(data + done), static_cast<size_t>(count - done));
    if (n < 0) Raise(2);
    done += n;
    if (done == count || n > 0) continue;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (deadline != Clock::time_point::max() && left <= 0) break;
    const int r = device_->WaitWritable(deadline == Clock::time_point::max() ? SerWait::Forever
                                                                              : static_cast<int>(left));
    if (r == SerWait::Woken) break;
    if (r < 0) Raise(2);
  }
  if (done > 0 && eventThread_.joinable()) {
    {
      std::lock_guard lock(lock_);
      txPending_ = true;
    }
    device_->Interrupt();
  }
  return done;
}

int TCustomComPort::InputCount() {
  if (!connected_) return 0;
  if (eventThread_.joinable()) {
    std::lock_guard lock(lock_);
    return static_cast<int>(queue_.size());
  }
  const int n = device_->InputCount();
  if (n < 0) Raise(10);
  return n;
}

int TCustomComPort::ModemSignals() {
  if (!connected_) return 0;
  int bits = 0;
  if (device_->GetModemStatus(bits) < 0) Raise(11);
  return (bits & SerModem::CTS ? 1 : 0) | (bits & SerModem::DSR ? 2 : 0) | (bits & SerModem::Ring ? 4 : 0) |
         (bits & SerModem::RLSD ? 8 : 0);
}

int TCustomComPort::LineErrors() {
  if (!connected_) return 0;
  const int errors = eventThread_.joinable() ? 0 : device_->TakeLineErrors();
  if (errors < 0) Raise(10);
  std::lock_guard lock(lock_);
  int set = lineErrors_;
  if (errors & SerLineError::Framing) set |= ComLineError::Frame;
  if ((errors & SerLineError::Parity) && parity_.Check) set |= ComLineError::Parity;
  if (errors & SerLineError::Overrun) set |= ComLineError::Overrun;
  if (errors & SerLineError::Break) set |= ComLineError::Break;
  if (errors & SerLineError::Overflow) set |= ComLineError::RxOver;
  lineErrors_ = 0;
  return set;
}
