#include "serial/IOBuffers.h"

#include <algorithm>
#include <cstring>

namespace {

std::vector<uint8_t> ZeroedBytes(int count) {
  try {
    return std::vector<uint8_t>(static_cast<size_t>(count), 0);
  } catch (const std::bad_alloc&) {
    throw EIOBufferMemory();
  }
}

}  // namespace

TDataBuffer::TDataBuffer(int capacity) : TIOBuffer(capacity), Data(ZeroedBytes(capacity)) {}

TLogBuffer::TLogBuffer(uint8_t kind, int dataSize, const uint8_t* data, int value, int time, uint16_t subKind)
    : TIOBuffer(std::max(dataSize, 0)), Kind(kind), SubKind(subKind), Time(time), Value(value) {
  if (dataSize > 0) Data.assign(data, data + dataSize);
}

void TIOQueue::Push(std::unique_ptr<TIOBuffer> item) {
  {
    std::lock_guard lock(lock_);
    bytesQueued_ += item->Size();
    items_.push_back(std::move(item));
  }
  arrived_.notify_all();
}

void TIOQueue::PushAll(std::vector<std::unique_ptr<TIOBuffer>>& items) {
  {
    std::lock_guard lock(lock_);
    for (auto& item : items) {
      bytesQueued_ += item->Size();
      items_.push_back(std::move(item));
    }
  }
  items.clear();
}

std::unique_ptr<TIOBuffer> TIOQueue::PopIfNotData() {
  std::unique_ptr<TIOBuffer> item;
  {
    std::lock_guard lock(lock_);
    if (items_.empty() || dynamic_cast<TDataBuffer*>(items_.front().get())) return nullptr;
    item = std::move(items_.front());
    items_.pop_front();
    bytesQueued_ -= item->Size();
  }
  return item;
}

TIOBuffer* TIOQueue::Peek() {
  std::lock_guard lock(lock_);
  if (items_.empty() || items_.front()->InUse) return nullptr;
  items_.front()->InUse = true;
  return items_.front().get();
}

std::unique_ptr<TIOBuffer> TIOQueue::Pop() {
  std::unique_ptr<TIOBuffer> item;
  {
    std::lock_guard lock(lock_);
    if (items_.empty()) return nullptr;
    item = std::move(items_.front());
    items_.pop_front();
    bytesQueued_ -= item->Size();
  }
  roomMade_.notify_all();
  return item;
}

void TIOQueue::Clear() {
  {
    std::lock_guard lock(lock_);
    std::erase_if(items_, [this](const std::unique_ptr<TIOBuffer>& item) {
      if (item->InUse) return false;
      bytesQueued_ -= item->Size();
      return true;
    });
  }
  roomMade_.notify_all();
}

int TIOQueue::BytesQueued() const { return bytesQueued_; }

bool TIOQueue::Empty() const {
  std::lock_guard lock(lock_);
  return items_.empty();
}

size_t TIOQueue::Count() const {
  std::lock_guard lock(lock_);
  return items_.size();
}

void TIOQueue::WaitForWork(std::chrono::milliseconds timeout) {
  std::unique_lock lock(lock_);
  arrived_.wait_for(lock, timeout, [this] {
    return interrupted_ || poked_ || (!items_.empty() && !dynamic_cast<TDataBuffer*>(items_.front().get()));
  });
  poked_ = false;
}

bool TIOQueue::WaitForData(std::chrono::milliseconds timeout) {
  std::unique_lock lock(lock_);
  arrived_.wait_for(lock, timeout, [this] { return interrupted_ || !items_.empty(); });
  return !items_.empty();
}

void TIOQueue::Poke() {
  {
    std::lock_guard lock(lock_);
    poked_ = true;
  }
  arrived_.notify_all();
}

bool TIOQueue::WaitForRoom(int limit) {
  if (bytesQueued_ <= limit) return true;
  std::unique_lock lock(lock_);
  roomMade_.wait(lock, [&] { return bytesQueued_ <= limit || interrupted_; });
  return bytesQueued_ <= limit;
}

void TIOQueue::Interrupt() {
  {
    std::lock_guard lock(lock_);
    interrupted_ = true;
  }
  arrived_.notify_all();
  roomMade_.notify_all();
}

int TIOQueue::ReadQueued(uint8_t* out, int count) {
  int copied = 0;
  bool freed = false;
  bool uncovered = false;  // an item that is not data came to the front
  {
    std::lock_guard lock(lock_);
    while (copied < count && !items_.empty()) {
      auto* data = dynamic_cast<TDataBuffer*>(items_.front().get());
      if (!data) break;
      const int n = std::min(count - copied, data->Used - data->Read);
      std::memcpy(out + copied, data->Data.data() + data->Read, static_cast<size_t>(n));
      data->Read += n;
      copied += n;
      if (data->Read < data->Used) break;
      bytesQueued_ -= data->Size();
      items_.pop_front();
      freed = true;
      uncovered = !items_.empty() && !dynamic_cast<TDataBuffer*>(items_.front().get());
    }
  }
  if (freed) roomMade_.notify_all();
  if (uncovered) arrived_.notify_all();
  return copied;
}

int TIOQueue::InputQueued() const {
  std::lock_guard lock(lock_);
  if (items_.empty()) return 0;
  const auto* data = dynamic_cast<const TDataBuffer*>(items_.front().get());
  return data ? data->Used - data->Read : 0;
}

void TIOQueue::ForEach(const std::function<void(const TIOBuffer&)>& visit) const {
  std::lock_guard lock(lock_);
  for (const auto& item : items_) visit(*item);
}
