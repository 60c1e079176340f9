#pragma once
// What the reader and status threads hand to the dispatch thread: received bytes,
// event masks, and the mark of a device failure, through a queue that the workers
// append to while the reader and dispatch threads take from its front.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

class TIOBuffer {
 public:
  explicit TIOBuffer(int size) : size_(size) {}
  virtual ~TIOBuffer() = default;
  int Size() const { return size_; }
  // A consumer is looking at the item (TIOQueue::Peek); Clear leaves it alone.
  std::atomic<bool> InUse{false};

 private:
  int size_;
};

// A data buffer that could not be made; a bad_alloc, so the threads take it for
// the lack of memory that it is.
class EIOBufferMemory final : public std::bad_alloc {
 public:
  const char* what() const noexcept override { return "Insufficient memory to allocate I/O buffer."; }
};

class TDataBuffer final : public TIOBuffer {
 public:
  // capacity zeroed bytes, or EIOBufferMemory.
  explicit TDataBuffer(int capacity);
  std::vector<uint8_t> Data;
  int Used = 0;
  int Read = 0;
};

class TStatusBuffer final : public TIOBuffer {
 public:
  explicit TStatusBuffer(int status) : TIOBuffer(0), Status(status) {}
  int Status;
};

// One entry of the dispatch log: what happened (kind and sub-kind), when (ms since
// the log started), a value, and a copy of the data that went with it, whose
// length is the entry's size.
class TLogBuffer final : public TIOBuffer {
 public:
  TLogBuffer(uint8_t kind, int dataSize, const uint8_t* data, int value, int time, uint16_t subKind);
  uint8_t Kind;
  uint16_t SubKind;
  int Time;
  int Value;
  std::vector<uint8_t> Data;
};

// A worker thread's device failure; everything queued before it is still delivered.
class TFailureBuffer final : public TIOBuffer {
 public:
  explicit TFailureBuffer(int code) : TIOBuffer(0), Code(code) {}
  int Code;
};

class TIOQueue {
 public:
  void Push(std::unique_ptr<TIOBuffer> item);
  // Appends data the dispatch ring could not take, in order, and wakes nobody:
  // whoever makes room in the ring moves it up.
  void PushAll(std::vector<std::unique_ptr<TIOBuffer>>& items);
  // Takes the front item when it is not a data buffer; nullptr otherwise.
  std::unique_ptr<TIOBuffer> PopIfNotData();
  // Marks the front item in use and returns it; nullptr when the queue is empty or
  // its front is in use already. The caller clears InUse again (the item stays
  // first) or takes the item with Pop. The dispatcher's own takers do not peek.
  TIOBuffer* Peek();
  // Takes the front item, whatever it is; nullptr when the queue is empty.
  std::unique_ptr<TIOBuffer> Pop();
  // Frees every item but those in use, which keep their places.
  void Clear();
  int BytesQueued() const;
  bool Empty() const;
  size_t Count() const;

  // Returns when the front item is not a data buffer (data waits for room in the
  // dispatch ring, which whoever makes room moves up), after Poke or Interrupt, or
  // after timeout.
  void WaitForWork(std::chrono::milliseconds timeout);
  // Waits up to timeout while the queue is empty (PushAll wakes nobody); true
  // when it holds an item.
  bool WaitForData(std::chrono::milliseconds timeout);
  // Ends the current or next WaitForWork.
  void Poke();
  // Waits until at most limit bytes are queued or Interrupt; true when there is room.
  bool WaitForRoom(int limit);
  // Ends every wait, now and from then on.
  void Interrupt();

  // Copies up to count bytes from the consecutive data buffers at the front,
  // freeing each emptied one; stops at any other item. Returns the bytes copied.
  int ReadQueued(uint8_t* out, int count);
  // The unread bytes of the front item when that is a data buffer; else 0.
  int InputQueued() const;
  // Visits every item in order, under the queue's lock.
  void ForEach(const std::function<void(const TIOBuffer&)>& visit) const;

 private:
  mutable std::mutex lock_;
  // Kept apart so that the reader taking bytes off never wakes the dispatch
  // thread, and a push never wakes the reader.
  std::condition_variable arrived_;
  std::condition_variable roomMade_;
  std::deque<std::unique_ptr<TIOBuffer>> items_;
  // Changed under the lock; read without it, so that the reader's checks of each
  // read never contend with the GUI side taking bytes off.
  std::atomic<int> bytesQueued_{0};
  bool interrupted_ = false;
  bool poked_ = false;
};
