#include "serial/SerReceiveRing.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "serial/SerErrorCodes.h"

namespace {

uint8_t Folded(uint8_t b) { return static_cast<uint8_t>(b < 128 ? std::toupper(b) : b); }

// Moves the trigger's match on by one byte; true when the pattern is complete.
bool Advance(TDataTrigger& t, uint8_t b) {
  const uint8_t c = t.IgnoreCase ? Folded(b) : b;
  const size_t last = t.Pattern.size() - 1;
  for (size_t k = last; k > 0; --k)
    t.Matching[k] = t.Matching[k - 1] && static_cast<uint8_t>(t.Pattern[k]) == c;
  t.Matching[0] = static_cast<uint8_t>(t.Pattern[0]) == c;
  return t.Matching[last];
}

}  // namespace

TSerReceiveRing::TSerReceiveRing(TIOQueue& input, const std::atomic<bool>& kill, const std::atomic<bool>& stopped,
                                 TSerTrace& trace, TSerDispatchLog& log, std::function<void()> requestDelivery)
    : input_(input), kill_(kill), stopped_(stopped), trace_(trace), log_(log),
      requestDelivery_(std::move(requestDelivery)) {}

void TSerReceiveRing::Allocate() {
  std::lock_guard lock(lock_);
  ring_.assign(kSize, 0);
  received_ = consumed_ = scanned_ = notified_ = 0;
  pending_.clear();
  dataTriggers_.clear();
  inAvail_ = deliveryPosted_ = false;
  getCount_ = 0;
  availThreshold_ = 0;
}

int TSerReceiveRing::CopyIntoRing(const uint8_t* data, int count) {
  uint64_t start = 0;
  int taken = 0;
  {
    std::lock_guard lock(lock_);
    if (input_.BytesQueued() == 0) {
      start = received_ % kSize;
      taken = std::min(count, kSize - UnreadLocked());
    }
  }
  const int first = std::min(taken, kSize - static_cast<int>(start));
  std::memcpy(ring_.data() + start, data, static_cast<size_t>(first));
  std::memcpy(ring_.data(), data + first, static_cast<size_t>(taken - first));
  return taken;
}

// A short read (a reply, a slow line) is announced at once. A long one is part of
// a stream, announced when the device runs dry or a batch has gathered, so that
// the GUI thread wakes once per batch, not once per read.
void TSerReceiveRing::Received(int copied, std::vector<std::unique_ptr<TIOBuffer>>& rest, bool shortRead) {
  bool post;
  {
    std::lock_guard lock(lock_);
    CommitLocked(copied);
    if (!rest.empty()) {
      // The ring had no room for them when the reader looked.
      log_.Add(SerLog::Dispatch, SerLog::BufferFull, 0, "Dispatch buffer full.");
      input_.PushAll(rest);
      ExtractLocked();
    }
    post = (shortRead || UnreadLocked() + input_.BytesQueued() >= kStreamBatch || !pending_.empty()) &&
           ClaimDeliveryLocked();
  }
  if (post) RequestDelivery();
}

void TSerReceiveRing::CommitLocked(int count) {
  if (count <= 0) return;
  received_ += static_cast<uint64_t>(count);
  ScanLocked();
}

// New bytes are examined one by one while data triggers exist. At a match the
// bytes before the pattern are announced first, then each trigger that matched,
// the last added first.
void TSerReceiveRing::ScanLocked() {
  if (dataTriggers_.empty()) {
    scanned_ = received_;
    return;
  }
  std::vector<size_t> matched;
  while (scanned_ < received_) {
    const uint8_t b = ring_[static_cast<size_t>(scanned_ % kSize)];
    ++scanned_;
    matched.clear();
    size_t longest = 0;
    for (size_t i = 0; i < dataTriggers_.size(); ++i) {
      if (!Advance(dataTriggers_[i], b)) continue;
      matched.push_back(i);
      longest = std::max(longest, dataTriggers_[i].Pattern.size());
    }
    if (matched.empty()) continue;
    if (handlerInstalled_) {
      const uint64_t before = scanned_ - std::min<uint64_t>(longest, scanned_);
      if (availThreshold_ != 0 && before > consumed_ && before > notified_ &&
          static_cast<int>(before - consumed_) >= availThreshold_)
        pending_.push_back({{SerMsg::Avail, 0, 0}, before});
      notified_ = scanned_;
    }
    for (auto it = matched.rbegin(); it != matched.rend(); ++it) {
      TDataTrigger& t = dataTriggers_[*it];
      std::fill(t.Matching.begin(), t.Matching.end(), false);
      if (handlerInstalled_)
        pending_.push_back({{SerMsg::Data, t.Handle, static_cast<int>(t.Pattern.size())}, 0});
    }
  }
}

void TSerReceiveRing::ExtractLocked() {
  const int free = kSize - UnreadLocked();
  if (free == 0) return;
  const int writeIndex = static_cast<int>(received_ % kSize);
  const int room = std::min(free, kSize - writeIndex);
  int got = input_.ReadQueued(ring_.data() + writeIndex, room);
  if (got == room && free > room) got += input_.ReadQueued(ring_.data(), free - room);
  CommitLocked(got);
}

void TSerReceiveRing::MoveQueuedUp() {
  bool post;
  {
    std::lock_guard lock(lock_);
    ExtractLocked();
    post = ClaimDeliveryLocked();
  }
  if (post) RequestDelivery();
}

void TSerReceiveRing::AnnounceArrived() {
  bool post;
  {
    std::lock_guard lock(lock_);
    post = ClaimDeliveryLocked();
  }
  if (post) RequestDelivery();
}

// An avail is due when bytes arrived since the last one and enough are unread.
bool TSerReceiveRing::AvailDueLocked() const {
  return handlerInstalled_ && availThreshold_ > 0 && scanned_ != notified_ && UnreadLocked() >= availThreshold_;
}

bool TSerReceiveRing::ClaimDeliveryLocked() {
  if (kill_ || deliveryPosted_ || (pending_.empty() && !AvailDueLocked())) return false;
  deliveryPosted_ = true;
  return true;
}

void TSerReceiveRing::RequestDelivery() {
  if (requestDelivery_) requestDelivery_();
}

// Bytes waiting behind a full ring move up as soon as the GUI side makes room,
// without a round trip through the dispatch thread.
bool TSerReceiveRing::ConsumeLocked(int count) {
  const bool wasFull = UnreadLocked() == kSize;
  consumed_ += static_cast<uint64_t>(count);
  if (!kill_) ExtractLocked();
  return wasFull && UnreadLocked() < kSize;
}

int TSerReceiveRing::UnreadLocked() const { return static_cast<int>(received_ - consumed_); }

int TSerReceiveRing::PeekLocked(int n, uint8_t& byte) const {
  if (n < 1 || UnreadLocked() < n) return SerErr::BufferIsEmpty;
  byte = ring_[static_cast<size_t>((consumed_ + static_cast<uint64_t>(n) - 1) % kSize)];
  return SerErr::Ok;
}

int TSerReceiveRing::PeekChar(int n, uint8_t& byte) {
  std::lock_guard lock(lock_);
  if (ring_.empty()) return SerErr::CommNotOpen;
  return PeekLocked(n, byte);
}

int TSerReceiveRing::InBuffUsed() {
  std::lock_guard lock(lock_);
  return UnreadLocked() - (inAvail_ ? getCount_ : 0);
}

int TSerReceiveRing::GetChar(uint8_t& byte) {
  int result;
  bool post = false;
  {
    std::lock_guard lock(lock_);
    if (ring_.empty()) return SerErr::CommNotOpen;
    if (inAvail_) {
      result = PeekLocked(getCount_ + 1, byte);
      if (result == 0) ++getCount_;
    } else {
      result = PeekLocked(1, byte);
      if (result == 0) {
        ConsumeLocked(1);
        post = ClaimDeliveryLocked();
      }
    }
  }
  if (post) RequestDelivery();
  if (result == 0) trace_.Add('R', &byte, 1);
  return result;
}

int TSerReceiveRing::GetBlock(uint8_t* out, int count) {
  if (count <= 0) return 0;
  bool post = false;
  uint64_t start;
  {
    std::lock_guard lock(lock_);
    if (ring_.empty()) return SerErr::CommNotOpen;
    const int offset = inAvail_ ? getCount_ : 0;
    if (UnreadLocked() - offset < count) return SerErr::GetBlockFail;
    start = (consumed_ + static_cast<uint64_t>(offset)) % kSize;
  }
  const int first = std::min(count, kSize - static_cast<int>(start));
  std::memcpy(out, ring_.data() + start, static_cast<size_t>(first));
  std::memcpy(out + first, ring_.data(), static_cast<size_t>(count - first));
  {
    std::lock_guard lock(lock_);
    if (inAvail_) {
      getCount_ += count;
    } else {
      ConsumeLocked(count);
      post = ClaimDeliveryLocked();
    }
  }
  if (post) RequestDelivery();
  trace_.Add('R', out, static_cast<size_t>(count));
  return count;
}

void TSerReceiveRing::Flush() {
  std::lock_guard lock(lock_);
  if (inAvail_)
    consumeAll_ = true;
  else
    consumed_ = received_;
  for (TDataTrigger& t : dataTriggers_) std::fill(t.Matching.begin(), t.Matching.end(), false);
  input_.Clear();
}

// Bytes that came before the port could hear of them are announced now.
void TSerReceiveRing::SetAvailThreshold(int threshold) {
  bool post;
  {
    std::lock_guard lock(lock_);
    availThreshold_ = std::max(threshold, 0);
    post = ClaimDeliveryLocked();
  }
  if (post) RequestDelivery();
}

void TSerReceiveRing::SetPortHandlerInstalled(bool installed) {
  bool post;
  {
    std::lock_guard lock(lock_);
    handlerInstalled_ = installed;
    post = ClaimDeliveryLocked();
  }
  if (post) RequestDelivery();
}

bool TSerReceiveRing::InAvailMessage() {
  std::lock_guard lock(lock_);
  return inAvail_;
}

void TSerReceiveRing::Deliver(const std::function<void(const TTriggerMessage&)>& handler) {
  // A handler that waits in a nested event loop leaves the rest to this delivery.
  if (delivering_) return;
  delivering_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{delivering_};
  for (;;) {
    TTriggerMessage message{};
    {
      std::lock_guard lock(lock_);
      if (stopped_) {
        deliveryPosted_ = false;
        return;
      }
      if (!pending_.empty()) {
        const TPendingMessage p = pending_.front();
        pending_.pop_front();
        message = p.Message;
        if (message.Msg == SerMsg::Avail) {
          const int count = static_cast<int>(std::min<uint64_t>(p.End - std::min(p.End, consumed_), UnreadLocked()));
          if (count <= 0) continue;
          message.WParam = message.Value = count;
        }
      } else if (AvailDueLocked()) {
        notified_ = scanned_;
        message = {SerMsg::Avail, UnreadLocked(), UnreadLocked()};
      } else {
        deliveryPosted_ = false;
        return;
      }
      inAvail_ = message.Msg == SerMsg::Avail || message.Msg == SerMsg::Data;
      getCount_ = 0;
      consumeAll_ = false;
    }
    log_.Add(SerLog::Trigger,
             message.Msg == SerMsg::Avail   ? SerLog::Avail
             : message.Msg == SerMsg::Data  ? SerLog::Data
             : message.Msg == SerMsg::Timer ? SerLog::Timer
                                            : SerLog::Status,
             static_cast<uint32_t>(message.WParam));
    struct Finish {
      TSerReceiveRing& r;
      ~Finish() {
        std::lock_guard lock(r.lock_);
        if (!r.inAvail_) return;
        const int consumed = r.consumeAll_ ? r.UnreadLocked() : std::min(r.getCount_, r.UnreadLocked());
        r.inAvail_ = false;
        r.getCount_ = 0;
        r.consumeAll_ = false;
        r.ConsumeLocked(consumed);
      }
    } finish{*this};
    handler(message);
  }
}

void TSerReceiveRing::Enqueue(const std::vector<TTriggerMessage>& messages) {
  bool post;
  {
    std::lock_guard lock(lock_);
    if (!handlerInstalled_) return;
    if (AvailDueLocked()) {
      pending_.push_back({{SerMsg::Avail, 0, 0}, scanned_});
      notified_ = scanned_;
    }
    for (const TTriggerMessage& m : messages) pending_.push_back({m, 0});
    post = ClaimDeliveryLocked();
  }
  if (post) RequestDelivery();
}

void TSerReceiveRing::AddDataTrigger(int handle, const std::string& pattern, bool ignoreCase) {
  TDataTrigger t{handle, pattern, ignoreCase, std::vector<bool>(pattern.size(), false)};
  if (ignoreCase)
    for (char& c : t.Pattern) c = static_cast<char>(Folded(static_cast<uint8_t>(c)));
  std::lock_guard lock(lock_);
  dataTriggers_.push_back(std::move(t));
}

bool TSerReceiveRing::RemoveDataTrigger(int handle) {
  std::lock_guard lock(lock_);
  return EraseTrigger(dataTriggers_, handle);
}

void TSerReceiveRing::SaveTo(TTriggerSet& set) {
  std::lock_guard lock(lock_);
  set.Data = dataTriggers_;
  set.AvailThreshold = availThreshold_;
}

void TSerReceiveRing::RestoreFrom(const TTriggerSet& set) {
  std::lock_guard lock(lock_);
  dataTriggers_ = set.Data;
  for (TDataTrigger& t : dataTriggers_) std::fill(t.Matching.begin(), t.Matching.end(), false);
  availThreshold_ = set.AvailThreshold;
}
