#pragma once
// What the port has yet to send: a ring that any thread fills with whole blocks
// and the writer thread empties into the device.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "serial/SerDevice.h"

// The output lock guards the ring and its indexes, between the senders and the
// writer. The writer takes everything pending in one step and writes it without
// the lock, so the ring is free again while the device is still busy.
class TSerOutputRing {
 public:
  // An empty ring of size bytes; may throw std::bad_alloc.
  void Allocate(size_t size);
  // All of the block or nothing (-3006); never waits for the writer.
  int Put(const uint8_t* data, size_t count);
  int Used();
  int Free();
  // Drops what is queued, and what the writer took but has not written yet.
  void Flush();

  // The writer thread, until kill: taken is told each time the writer empties the
  // ring, fail of a device failure (after which the writer ends).
  void RunWriter(TSerDevice& device, const std::atomic<bool>& kill, const std::function<void()>& taken,
                 const std::function<void(int)>& fail);
  // Wakes the writer to look at kill.
  void WakeWriter();
  // Until the bytes queued, taken by the writer and held by the device have gone,
  // and the last few characters left the line (at most about 10 s).
  void WaitDrained(TSerDevice& device, const std::atomic<bool>& kill, const TSerLineState& line);

 private:
  int UsedLocked() const;

  std::mutex lock_;
  std::condition_variable ready_;
  std::vector<uint8_t> ring_;
  size_t head_ = 0;
  size_t tail_ = 0;
  bool full_ = false;
  uint64_t flushGeneration_ = 0;
  std::atomic<bool> writerBusy_{false};
};
