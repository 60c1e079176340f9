#include "serial/SerDispatcher.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <new>
#include <stdexcept>

#include "serial/SerErrorCodes.h"

namespace {

// Events as the status and reader threads report them (the comm-event bits).
constexpr int kEventCTS = 0x0008;
constexpr int kEventDSR = 0x0010;
constexpr int kEventRLSD = 0x0020;
constexpr int kEventBreak = 0x0040;
constexpr int kEventError = 0x0080;
constexpr int kEventRing = 0x0100;
constexpr int kModemEvents = kEventCTS | kEventDSR | kEventRLSD | kEventRing;

// Trigger handles: a serial number above the kind, which takes the low three bits.
constexpr int kTimerKind = 6;
constexpr int kDataKind = 7;
constexpr int kMaxSerial = 0xFFFF >> 3;

int ChangedLineEvents(int before, int after) {
  const int changed = before ^ after;
  int events = 0;
  if (changed & SerModem::CTS) events |= kEventCTS;
  if (changed & SerModem::DSR) events |= kEventDSR;
  if (changed & SerModem::RLSD) events |= kEventRLSD;
  if ((after & SerModem::Ring) && !(before & SerModem::Ring)) events |= kEventRing;
  return events;
}

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

template <class T>
T* FindTrigger(std::vector<T>& list, int handle) {
  const auto it = std::find_if(list.begin(), list.end(), [&](const T& t) { return t.Handle == handle; });
  return it == list.end() ? nullptr : &*it;
}

template <class T>
bool EraseTrigger(std::vector<T>& list, int handle) {
  const auto it = std::find_if(list.begin(), list.end(), [&](const T& t) { return t.Handle == handle; });
  if (it == list.end()) return false;
  list.erase(it);
  return true;
}

int BitsPerChar(const TSerLineState& line) {
  return 1 + line.ByteSize + (line.Parity ? 1 : 0) + (line.StopBits ? 2 : 1);
}

}  // namespace

TSerDispatcher::TSerDispatcher(std::unique_ptr<TSerDevice> device, TSerDispatcherCallbacks callbacks)
    : device_(std::move(device)), callbacks_(std::move(callbacks)) {}

TSerDispatcher::~TSerDispatcher() { DonePort(); }

int TSerDispatcher::InitPort(const std::string& deviceName, int baud, int lineFlags, int outSize, int inSize,
                             int stopBits, int dataBits, int parity) {
  if (running_ || deviceOpen_) return SerErr::AlreadyOpen;
  const int opened = device_->Open(deviceName);
  if (opened < 0) return opened;
  deviceOpen_ = true;
  try {
    ring_.assign(kRingSize, 0);
    out_.assign(static_cast<size_t>(std::max(outSize, 0)), 0);
  } catch (const std::bad_alloc&) {
    DonePort();
    return SerErr::OutOfMemory;
  }
  (void)inSize;  // the kernel sizes its own queues
  outHead_ = outTail_ = 0;
  outFull_ = false;
  received_ = consumed_ = scanned_ = notified_ = 0;
  pending_.clear();
  dataTriggers_.clear();
  inAvail_ = deliveryPosted_ = false;
  getCount_ = 0;
  availThreshold_ = 0;
  lineErrors_ = 0;
  timers_.clear();
  statusTriggers_.clear();
  nextSerial_ = 1;
  kill_ = stopped_ = false;
  failureReported_ = failed_ = false;

  dtrFlow_ = lineFlags & SerLineFlag::UseDTR;
  rtsFlow_ = lineFlags & (SerLineFlag::UseRTS | SerLineFlag::RequireCTS);
  int result = std::min(SetDTR(lineFlags & SerLineFlag::DTR), 0);
  if (result == 0) result = std::min(SetRTS(lineFlags & SerLineFlag::RTS), 0);
  if (result == 0) result = SetLine(baud, parity, stopBits, dataBits);
  if (result < 0) {
    DonePort();
    return result;
  }
  int bits = 0;
  device_->GetModemStatus(bits);
  modemStatus_ = bits & SerModem::Lines;
  device_->TakeLineErrors();
  StartDispatcher();
  return SerErr::Ok;
}

void TSerDispatcher::StartDispatcher() {
  if (running_) throw std::logic_error("Dispatcher already started.");
  running_ = true;
  reader_ = std::thread([this] { RunGuarded([this] { ReaderLoop(); }); });
  dispatch_ = std::thread([this] { RunGuarded([this] { DispatchLoop(); }); });
  writer_ = std::thread([this] { RunGuarded([this] { WriterLoop(); }); });
  // Changes count from the lines the open found.
  status_ = std::thread([this, lines = modemStatus_ & SerModem::Lines] { RunGuarded([&] { StatusLoop(lines); }); });
}

void TSerDispatcher::RunGuarded(const std::function<void()>& loop) {
  try {
    loop();
  } catch (const std::bad_alloc&) {
    ReportFailure(SerErr::NoMemory);
  } catch (...) {
    ReportFailure(SerErr::GeneralFailure);
  }
}

void TSerDispatcher::DonePort() {
  if (!deviceOpen_) return;
  stopped_ = true;
  FlushOutput();
  FlushInput();
  CloseCom();
  device_->Close();
  deviceOpen_ = false;
}

void TSerDispatcher::Kill() {
  kill_ = true;
  device_->Wake();
  input_.Interrupt();
  { std::lock_guard lock(outLock_); }
  outReady_.notify_all();
  { std::lock_guard lock(stateLock_); }
  stateChanged_.notify_all();
}

void TSerDispatcher::CloseCom() {
  Kill();
  for (std::thread* t : {&status_, &writer_, &reader_, &dispatch_})
    if (t->joinable()) t->join();
  running_ = false;
}

// A reader or writer failure travels behind the bytes already received, so the
// GUI side gets those first.
void TSerDispatcher::Fail(int code) {
  AnnounceArrived();
  input_.Push(std::make_unique<TFailureBuffer>(code));
}

// The failure mark is a pending line error too, so a line-error trigger sees it.
void TSerDispatcher::ReportFailure(int code) {
  if (failureReported_.exchange(true)) return;
  const bool stopping = kill_;
  if (!stopping) failed_ = true;
  {
    std::lock_guard lock(stateLock_);
    lineErrors_ = -1;
  }
  if (!stopping) CheckTriggers();
  Kill();
  if (!stopping && callbacks_.Failed) callbacks_.Failed(code);
}

void TSerDispatcher::LineErrorsSeen(int errors) {
  {
    std::lock_guard lock(stateLock_);
    if (lineErrors_ >= 0) lineErrors_ |= errors;
  }
  log_.Add(SerLog::Line, SerLog::LineError, static_cast<uint32_t>(errors));
  input_.Push(std::make_unique<TStatusBuffer>(((errors & SerLineError::Break) ? kEventBreak : 0) |
                                              ((errors & ~SerLineError::Break) ? kEventError : 0)));
}

int TSerDispatcher::ApplyLineLocked(const TSerLineState& state) {
  const int result = device_->SetLineState(state);
  if (result < 0) return result;
  // Programming the line may drop the lines that the device handles itself.
  if (!dtrFlow_) device_->SetDTR(dtr_);
  if (!rtsFlow_ && !rs485_) device_->SetRTS(rts_);
  return SerErr::Ok;
}

int TSerDispatcher::SetLine(int baud, int parity, int stopBits, int dataBits) {
  if (baud < 0) return SerErr::BadBaudRate;
  if (dataBits != 9 && (dataBits < 5 || dataBits > 8)) return -2003;
  if (parity < 0 || parity > 5) return SerErr::BadArgument;
  auto withValues = [&](TSerLineState s) {
    if (baud != 0) s.Baud = baud;
    if (parity != 5) s.Parity = parity;
    if (dataBits != 9) s.ByteSize = dataBits;
    if (stopBits != 3) {
      const int stop = stopBits == 0 ? 1 : std::min(stopBits, 2);
      s.StopBits = stop == 1 ? 0 : 2;
      if (s.ByteSize == 5) s.StopBits = 1;
    }
    s.Raw = true;
    // A device without error counters would hand on a byte with a parity error as NUL.
    s.CheckParity = false;
    s.DiscardNull = s.ReplaceErrors = false;
    s.ErrorChar = 0;
    return s;
  };
  TSerLineState current;
  {
    std::lock_guard lock(stateLock_);
    const int r = device_->GetLineState(current);
    if (r < 0) return r;
  }
  if (withValues(current) == current) {
    bytesPerSecond_ = current.Baud / BitsPerChar(current);
    return SerErr::Ok;
  }
  if (running_) WaitOutputDrain(current);
  std::lock_guard lock(stateLock_);
  const int r = device_->GetLineState(current);
  if (r < 0) return r;
  const TSerLineState wanted = withValues(current);
  const int result = ApplyLineLocked(wanted);
  if (result == SerErr::Ok) bytesPerSecond_ = wanted.Baud / BitsPerChar(wanted);
  return result;
}

// Changing the line under bytes still on their way would garble them: those in the
// output ring, those the writer holds, and those the device has yet to send.
void TSerDispatcher::WaitOutputDrain(const TSerLineState& line) {
  for (int i = 0; i < 5000 && !kill_ && (OutputUsed() > 0 || writerBusy_ || device_->OutputCount() > 0); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  if (line.Baud <= 0) return;
  long long micros = 18LL * BitsPerChar(line) * 1000000LL / line.Baud;
  if (micros < 1000) micros *= 2;
  std::this_thread::sleep_for(std::chrono::microseconds(micros));
}

int TSerDispatcher::SetDTR(bool on) {
  std::lock_guard lock(stateLock_);
  if (dtrFlow_) return 1;
  dtr_ = on;
  const int r = device_->SetDTR(on);
  return r < 0 ? r : 0;
}

int TSerDispatcher::SetRTS(bool on) {
  std::lock_guard lock(stateLock_);
  if (rtsFlow_) return 1;
  rts_ = on;
  if (rs485_) return 0;
  const int r = device_->SetRTS(on);
  return r < 0 ? r : 0;
}

int TSerDispatcher::SetFlowControl(int hwFlags, bool xonXoffOut, bool xonXoffIn, char xonChar, char xoffChar) {
  std::lock_guard lock(stateLock_);
  const bool wasDtrFlow = dtrFlow_, wasRtsFlow = rtsFlow_;
  dtrFlow_ = hwFlags & SerLineFlag::UseDTR;
  rtsFlow_ = hwFlags & (SerLineFlag::UseRTS | SerLineFlag::RequireCTS);
  TSerLineState current;
  int result = device_->GetLineState(current);
  if (result < 0) return result;
  TSerLineState wanted = current;
  wanted.OutxCtsFlow = rtsFlow_;
  wanted.OutX = xonXoffOut;
  wanted.InX = xonXoffIn;
  wanted.XonChar = xonChar;
  wanted.XoffChar = xoffChar;
  if (!(wanted == current)) result = device_->SetLineState(wanted);
  if (result < 0) return result;
  // A line that leaves handshake control takes the state it was last given.
  if (wasDtrFlow && !dtrFlow_) device_->SetDTR(dtr_);
  if (wasRtsFlow && !rtsFlow_ && !rs485_) device_->SetRTS(rts_);
  return SerErr::Ok;
}

int TSerDispatcher::SetRS485(bool on) {
  std::lock_guard lock(stateLock_);
  if (on == rs485_) return SerErr::Ok;
  const int r = device_->SetRS485(on);
  if (r < 0) return r;
  rs485_ = on;
  if (!on && !rtsFlow_) device_->SetRTS(rts_);
  return SerErr::Ok;
}

int TSerDispatcher::Yield() {
  std::this_thread::yield();
  return SerErr::Ok;
}

int TSerDispatcher::OutputUsedLocked() const {
  if (outFull_) return static_cast<int>(out_.size());
  if (outHead_ >= outTail_) return static_cast<int>(outHead_ - outTail_);
  return static_cast<int>(outHead_ + out_.size() - outTail_);
}

int TSerDispatcher::OutputUsed() {
  std::lock_guard lock(outLock_);
  return OutputUsedLocked();
}

int TSerDispatcher::PutBlock(const uint8_t* data, size_t count) {
  if (count == 0) return SerErr::Ok;
  if (!running_ || kill_) return SerErr::CommNotOpen;
  {
    std::lock_guard lock(outLock_);
    const size_t free = out_.size() - static_cast<size_t>(OutputUsedLocked());
    if (free < count) return SerErr::OutputBufferTooSmall;
    const size_t first = std::min(count, out_.size() - outHead_);
    std::memcpy(out_.data() + outHead_, data, first);
    std::memcpy(out_.data(), data + first, count - first);
    outHead_ = (outHead_ + count) % out_.size();
    if (free == count) outFull_ = true;
  }
  outReady_.notify_one();
  outputSent_ = true;
  if (watchOutput_) input_.Poke();
  trace_.Add('T', data, count);
  log_.Add(SerLog::Dispatch, SerLog::PutBlock, static_cast<uint32_t>(count), data, count);
  return SerErr::Ok;
}

void TSerDispatcher::FlushOutput() {
  {
    std::lock_guard lock(outLock_);
    outHead_ = outTail_ = 0;
    outFull_ = false;
    ++flushGeneration_;
  }
  if (deviceOpen_) device_->PurgeOutput();
}

void TSerDispatcher::FlushInput() {
  {
    std::lock_guard lock(dispatchLock_);
    if (inAvail_)
      consumeAll_ = true;
    else
      consumed_ = received_;
    for (TDataTrigger& t : dataTriggers_) std::fill(t.Matching.begin(), t.Matching.end(), false);
    input_.Clear();
  }
  if (deviceOpen_) device_->PurgeInput();
}

int TSerDispatcher::UnreadLocked() const { return static_cast<int>(received_ - consumed_); }

int TSerDispatcher::PeekLocked(int n, uint8_t& byte) const {
  if (n < 1 || UnreadLocked() < n) return SerErr::BufferIsEmpty;
  byte = ring_[static_cast<size_t>((consumed_ + static_cast<uint64_t>(n) - 1) % kRingSize)];
  return SerErr::Ok;
}

int TSerDispatcher::PeekChar(int n, uint8_t& byte) {
  std::lock_guard lock(dispatchLock_);
  if (ring_.empty()) return SerErr::CommNotOpen;
  return PeekLocked(n, byte);
}

int TSerDispatcher::InBuffUsed() {
  std::lock_guard lock(dispatchLock_);
  return UnreadLocked() - (inAvail_ ? getCount_ : 0);
}

int TSerDispatcher::GetChar(uint8_t& byte) {
  int result;
  bool post = false;
  {
    std::lock_guard lock(dispatchLock_);
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

int TSerDispatcher::GetBlock(uint8_t* out, int count) {
  if (count <= 0) return 0;
  bool post = false;
  uint64_t start;
  {
    std::lock_guard lock(dispatchLock_);
    if (ring_.empty()) return SerErr::CommNotOpen;
    const int offset = inAvail_ ? getCount_ : 0;
    if (UnreadLocked() - offset < count) return SerErr::GetBlockFail;
    start = (consumed_ + static_cast<uint64_t>(offset)) % kRingSize;
  }
  // Unread bytes stay where they are until this thread moves the read position on,
  // and the reader writes only into free room, so the copy needs no lock.
  const int first = std::min(count, kRingSize - static_cast<int>(start));
  std::memcpy(out, ring_.data() + start, static_cast<size_t>(first));
  std::memcpy(out + first, ring_.data(), static_cast<size_t>(count - first));
  {
    std::lock_guard lock(dispatchLock_);
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

// Bytes that came before the port could hear of them are announced now.
void TSerDispatcher::SetAvailThreshold(int threshold) {
  bool post;
  {
    std::lock_guard lock(dispatchLock_);
    availThreshold_ = std::max(threshold, 0);
    post = ClaimDeliveryLocked();
  }
  if (post) RequestDelivery();
}

void TSerDispatcher::SetPortHandlerInstalled(bool installed) {
  bool post;
  {
    std::lock_guard lock(dispatchLock_);
    handlerInstalled_ = installed;
    post = ClaimDeliveryLocked();
  }
  if (post) RequestDelivery();
}

bool TSerDispatcher::InAvailMessage() {
  std::lock_guard lock(dispatchLock_);
  return inAvail_;
}

int TSerDispatcher::NewHandle(int kind) {
  const int serial = nextSerial_.fetch_add(1);
  if (serial > kMaxSerial) {
    nextSerial_ = kMaxSerial + 1;
    return SerErr::NoMoreTriggers;
  }
  return serial << 3 | kind;
}

int TSerDispatcher::AddDataTrigger(const std::string& pattern, bool ignoreCase) {
  if (pattern.empty()) return SerErr::BadArgument;
  if (pattern.size() > kMaxPatternLength) return SerErr::TriggerTooLong;
  const int handle = NewHandle(kDataKind);
  if (handle < 0) return handle;
  TDataTrigger t{handle, pattern, ignoreCase, std::vector<bool>(pattern.size(), false)};
  if (ignoreCase)
    for (char& c : t.Pattern) c = static_cast<char>(Folded(static_cast<uint8_t>(c)));
  std::lock_guard lock(dispatchLock_);
  dataTriggers_.push_back(std::move(t));
  return handle;
}

int TSerDispatcher::AddTimerTrigger() {
  const int handle = NewHandle(kTimerKind);
  if (handle < 0) return handle;
  std::lock_guard lock(stateLock_);
  timers_.push_back({handle, {}, false});
  return handle;
}

int TSerDispatcher::SetTimerTrigger(int handle, int ticks, bool activate) {
  {
    std::lock_guard lock(stateLock_);
    TTimerTrigger* t = FindTrigger(timers_, handle);
    if (!t) return SerErr::BadTriggerHandle;
    NewTimer(t->Timer, ticks);
    t->Active = activate;
  }
  input_.Poke();
  return SerErr::Ok;
}

int TSerDispatcher::AddStatusTrigger(int kind) {
  if (kind < SerStatus::ModemStatus || kind > SerStatus::OutSent) return SerErr::BadArgument;
  const int handle = NewHandle(kind);
  if (handle < 0) return handle;
  std::lock_guard lock(stateLock_);
  statusTriggers_.push_back({handle, 0, 0, false});
  return handle;
}

int TSerDispatcher::SetStatusTrigger(int handle, int value, bool activate) {
  {
    std::lock_guard lock(stateLock_);
    TStatusTrigger* t = FindTrigger(statusTriggers_, handle);
    if (!t) return SerErr::BadTriggerHandle;
    t->Value = value;
    t->ModemLines = modemStatus_ & SerModem::Lines;
    t->Active = activate;
    if ((handle & SerStatus::KindMask) == SerStatus::OutSent) outputSent_ = false;
    UpdateWatchOutputLocked();
  }
  input_.Poke();
  return SerErr::Ok;
}

int TSerDispatcher::RemoveTrigger(int handle) {
  const int kind = handle & SerStatus::KindMask;
  if (kind == kDataKind) {
    std::lock_guard lock(dispatchLock_);
    return EraseTrigger(dataTriggers_, handle) ? SerErr::Ok : SerErr::BadTriggerHandle;
  }
  std::lock_guard lock(stateLock_);
  const bool found = kind == kTimerKind ? EraseTrigger(timers_, handle) : EraseTrigger(statusTriggers_, handle);
  return found ? SerErr::Ok : SerErr::BadTriggerHandle;
}

TTriggerSet TSerDispatcher::Triggers() {
  TTriggerSet set;
  {
    std::lock_guard lock(dispatchLock_);
    set.Data = dataTriggers_;
    set.AvailThreshold = availThreshold_;
  }
  std::lock_guard lock(stateLock_);
  set.Timers = timers_;
  set.Status = statusTriggers_;
  set.NextSerial = nextSerial_;
  return set;
}

void TSerDispatcher::RestoreTriggers(const TTriggerSet& set) {
  {
    std::lock_guard lock(dispatchLock_);
    dataTriggers_ = set.Data;
    for (TDataTrigger& t : dataTriggers_) std::fill(t.Matching.begin(), t.Matching.end(), false);
    availThreshold_ = set.AvailThreshold;
  }
  {
    std::lock_guard lock(stateLock_);
    timers_ = set.Timers;
    statusTriggers_ = set.Status;
    nextSerial_ = set.NextSerial;
    UpdateWatchOutputLocked();
  }
  input_.Poke();
}

void TSerDispatcher::UpdateWatchOutputLocked() {
  watchOutput_ = std::any_of(statusTriggers_.begin(), statusTriggers_.end(), [](const TStatusTrigger& s) {
    return s.Active && (s.Handle & SerStatus::KindMask) >= SerStatus::OutbuffFree;
  });
}

// An avail is due when bytes arrived since the last one and enough are unread.
bool TSerDispatcher::AvailDueLocked() const {
  return handlerInstalled_ && availThreshold_ > 0 && scanned_ != notified_ && UnreadLocked() >= availThreshold_;
}

bool TSerDispatcher::ClaimDeliveryLocked() {
  if (kill_ || deliveryPosted_ || (pending_.empty() && !AvailDueLocked())) return false;
  deliveryPosted_ = true;
  return true;
}

void TSerDispatcher::RequestDelivery() {
  if (callbacks_.DeliveryReady) callbacks_.DeliveryReady();
}

// Bytes waiting behind a full ring move up as soon as the GUI side makes room,
// without a round trip through the dispatch thread.
bool TSerDispatcher::ConsumeLocked(int count) {
  const bool wasFull = UnreadLocked() == kRingSize;
  consumed_ += static_cast<uint64_t>(count);
  if (!kill_) ExtractLocked();
  return wasFull && UnreadLocked() < kRingSize;
}

void TSerDispatcher::Deliver(const std::function<void(const TTriggerMessage&)>& handler) {
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
      std::lock_guard lock(dispatchLock_);
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
      TSerDispatcher& d;
      ~Finish() {
        std::lock_guard lock(d.dispatchLock_);
        if (!d.inAvail_) return;
        const int consumed = d.consumeAll_ ? d.UnreadLocked() : std::min(d.getCount_, d.UnreadLocked());
        d.inAvail_ = false;
        d.getCount_ = 0;
        d.consumeAll_ = false;
        d.ConsumeLocked(consumed);
      }
    } finish{*this};
    handler(message);
  }
}

int TSerDispatcher::ModemStatus() {
  std::lock_guard lock(stateLock_);
  const int status = modemStatus_;
  modemStatus_ &= SerModem::Lines;
  return status;
}

int TSerDispatcher::LineError() {
  std::lock_guard lock(stateLock_);
  if (lineErrors_ == -1) {
    lineErrors_ = 0;
    return 10;
  }
  static constexpr std::pair<int, int> kCodes[] = {{SerLineError::Overflow, 1},
                                                   {SerLineError::Overrun, 2},
                                                   {SerLineError::Parity, 3},
                                                   {SerLineError::Framing, 4},
                                                   {SerLineError::Break, 9}};
  for (const auto& [bit, code] : kCodes) {
    if (!(lineErrors_ & bit)) continue;
    lineErrors_ &= ~0x0F;
    return code;
  }
  return 0;
}

bool TSerDispatcher::LineBreak() {
  std::lock_guard lock(stateLock_);
  if (lineErrors_ < 0 || !(lineErrors_ & SerLineError::Break)) return false;
  lineErrors_ &= ~SerLineError::Break;
  return true;
}

// One read takes up to kReadSize bytes. The bytes go straight into the dispatch
// ring; only what the ring cannot take is split into input buffers and queued.
// Neither wakes the dispatch thread: whoever makes room in the ring moves the
// queued bytes up.
void TSerDispatcher::ReaderLoop() {
  using Clock = std::chrono::steady_clock;
  std::vector<uint8_t> chunk(kReadSize);
  std::vector<std::unique_ptr<TIOBuffer>> buffers;
  bool drained = true;
  auto lastRead = Clock::now();
  auto fullRateSince = lastRead;
  while (!kill_) {
    if (!input_.WaitForRoom(kInputQueueLimit - kReadSize)) return;
    // A stream is read until the device has nothing more before the next wait, so
    // bytes that arrived meanwhile cost no wake-up.
    if (drained) {
      const int ready = device_->WaitReadable(SerWait::Forever);
      if (kill_ || ready == SerWait::Woken) return;
      if (ready < 0) return Fail(ready);
    }
    const int n = device_->Read(chunk.data(), chunk.size());
    if (const int errors = device_->TakeLineErrors()) LineErrorsSeen(errors);
    if (n < 0) return Fail(n);
    drained = n == 0;
    if (drained) {
      AnnounceArrived();
      continue;
    }
    // A line that has run at its full rate for a while is read in batches: the
    // next bytes will be there anyway, and the GUI thread then wakes once a batch
    // rather than once for each few bytes a UART hands on. A reply, shorter than
    // that while, comes at once; so does anything faster than the line's rate.
    const auto now = Clock::now();
    const double capacity = bytesPerSecond_ * std::chrono::duration<double>(now - lastRead).count();
    const bool fullRate = bytesPerSecond_ > 0 && n >= capacity / 2 && n <= 2 * capacity + kFifoBytes;
    if (!fullRate) fullRateSince = now;
    lastRead = now;
    const bool batch = fullRate && now - fullRateSince >= kStreamAfter;
    const int taken = CopyIntoRing(chunk.data(), n);
    for (int done = taken; done < n; done += kInputBufferSize) {
      auto buffer = std::make_unique<TDataBuffer>(kInputBufferSize);
      buffer->Used = std::min(kInputBufferSize, n - done);
      std::memcpy(buffer->Data.data(), chunk.data() + done, static_cast<size_t>(buffer->Used));
      buffers.push_back(std::move(buffer));
    }
    bool post;
    {
      std::lock_guard lock(dispatchLock_);
      CommitReceived(taken, buffers);
      // A short read (a reply, a slow line) is announced at once. A long one is
      // part of a stream, announced when the device runs dry or a batch has
      // gathered, so that the GUI thread wakes once per batch, not once per read.
      post = (n < kInputBufferSize || UnreadLocked() + input_.BytesQueued() >= kStreamBatch || !pending_.empty()) &&
             ClaimDeliveryLocked();
    }
    if (post) RequestDelivery();
    if (batch) {
      const auto hold = std::min<std::chrono::microseconds>(
          kMaxBatchWait, std::chrono::microseconds(1000000LL * kBatchBytes / bytesPerSecond_));
      std::unique_lock lock(stateLock_);
      stateChanged_.wait_for(lock, hold, [this] { return kill_.load(); });
    }
  }
}

// Bytes may pass the queue only while no received bytes wait in it, so that they
// keep their order; the reader is the only thread that queues data.
// The copy into the free room is made outside the lock: while no received bytes
// are queued nobody else writes into the ring, and the GUI side only reads the
// unread part, so it never waits for the copy.
int TSerDispatcher::CopyIntoRing(const uint8_t* data, int count) {
  uint64_t start = 0;
  int taken = 0;
  {
    std::lock_guard lock(dispatchLock_);
    if (input_.BytesQueued() == 0) {
      start = received_ % kRingSize;
      taken = std::min(count, kRingSize - UnreadLocked());
    }
  }
  const int first = std::min(taken, kRingSize - static_cast<int>(start));
  std::memcpy(ring_.data() + start, data, static_cast<size_t>(first));
  std::memcpy(ring_.data(), data + first, static_cast<size_t>(taken - first));
  return taken;
}

void TSerDispatcher::CommitReceived(int copied, std::vector<std::unique_ptr<TIOBuffer>>& rest) {
  CommitLocked(copied);
  if (rest.empty()) return;
  // The ring had no room for them when the reader looked.
  log_.Add(SerLog::Dispatch, SerLog::BufferFull, 0, "Dispatch buffer full.");
  input_.PushAll(rest);
  ExtractLocked();
}

void TSerDispatcher::CommitLocked(int count) {
  if (count <= 0) return;
  received_ += static_cast<uint64_t>(count);
  ScanLocked();
}

// New bytes are examined one by one while data triggers exist. At a match the
// bytes before the pattern are announced first, then each trigger that matched,
// the last added first.
void TSerDispatcher::ScanLocked() {
  if (dataTriggers_.empty()) {
    scanned_ = received_;
    return;
  }
  std::vector<size_t> matched;
  while (scanned_ < received_) {
    const uint8_t b = ring_[static_cast<size_t>(scanned_ % kRingSize)];
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

void TSerDispatcher::ExtractLocked() {
  const int free = kRingSize - UnreadLocked();
  if (free == 0) return;
  const int writeIndex = static_cast<int>(received_ % kRingSize);
  const int room = std::min(free, kRingSize - writeIndex);
  int got = input_.ReadQueued(ring_.data() + writeIndex, room);
  if (got == room && free > room) got += input_.ReadQueued(ring_.data(), free - room);
  CommitLocked(got);
}

void TSerDispatcher::MoveQueuedUp() {
  bool post;
  {
    std::lock_guard lock(dispatchLock_);
    ExtractLocked();
    post = ClaimDeliveryLocked();
  }
  if (post) RequestDelivery();
}

void TSerDispatcher::AnnounceArrived() {
  bool post;
  {
    std::lock_guard lock(dispatchLock_);
    post = ClaimDeliveryLocked();
  }
  if (post) RequestDelivery();
}

void TSerDispatcher::WriterLoop() {
  std::vector<uint8_t> block;
  while (!kill_) {
    uint64_t generation;
    {
      std::unique_lock lock(outLock_);
      outReady_.wait(lock, [this] { return kill_ || OutputUsedLocked() > 0; });
      if (kill_) return;
      const size_t used = static_cast<size_t>(OutputUsedLocked());
      block.resize(used);
      const size_t first = std::min(used, out_.size() - outTail_);
      std::memcpy(block.data(), out_.data() + outTail_, first);
      std::memcpy(block.data() + first, out_.data(), used - first);
      outHead_ = outTail_ = 0;
      outFull_ = false;
      generation = flushGeneration_;
      writerBusy_ = true;
    }
    if (watchOutput_) input_.Poke();
    size_t done = 0;
    while (done < block.size() && !kill_) {
      {
        std::lock_guard lock(outLock_);
        if (generation != flushGeneration_) break;
      }
      const int n = device_->Write(block.data() + done, block.size() - done);
      if (n < 0) {
        writerBusy_ = false;
        return Fail(n);
      }
      done += static_cast<size_t>(n);
      if (n == 0) {
        const int ready = device_->WaitWritable(SerWait::Forever);
        if (ready == SerWait::Woken) break;
        if (ready < 0) {
          writerBusy_ = false;
          return Fail(ready);
        }
      }
    }
    writerBusy_ = false;
  }
}

// The status thread waits for the modem lines to change; a device without them
// leaves it waiting for the stop.
void TSerDispatcher::StatusLoop(int last) {
  while (!kill_) {
    int bits = last;
    const int r = device_->WaitModemChange(bits);
    if (kill_ || r == SerWait::Woken) return;
    if (r == SerWait::NoModemLines) break;
    if (r < 0) return Fail(r);
    const int events = ChangedLineEvents(last, bits);
    last = bits;
    if (events) input_.Push(std::make_unique<TStatusBuffer>(events));
  }
  std::unique_lock lock(stateLock_);
  stateChanged_.wait(lock, [this] { return kill_.load(); });
}

std::chrono::milliseconds TSerDispatcher::TimerWait() {
  std::lock_guard lock(stateLock_);
  int32_t ticks = kMaxTimerTicks;
  const int32_t now = CurrentTick();
  for (const TTimerTrigger& t : timers_)
    if (t.Active) ticks = std::min(ticks, TicksLeft(t.Timer, now));
  if (ticks == kMaxTimerTicks) return std::chrono::hours(1);
  return std::chrono::milliseconds(std::max<int64_t>(1, int64_t{ticks} * kTickMs));
}

void TSerDispatcher::DispatchLoop() {
  while (!kill_) {
    input_.WaitForWork(TimerWait());
    if (kill_) return;
    bool took = false;
    while (std::unique_ptr<TIOBuffer> item = input_.PopIfNotData()) {
      if (!HandleItem(*item)) return;
      took = true;
    }
    // Received bytes queued behind what was taken waited only for it to go.
    if (took) MoveQueuedUp();
    CheckTriggers();
  }
}

bool TSerDispatcher::HandleItem(const TIOBuffer& item) {
  if (const auto* failure = dynamic_cast<const TFailureBuffer*>(&item)) {
    ReportFailure(failure->Code);
    return false;
  }
  const auto* status = dynamic_cast<const TStatusBuffer*>(&item);
  if (status && (status->Status & kModemEvents)) {
    int bits = 0;
    device_->GetModemStatus(bits);
    std::lock_guard lock(stateLock_);
    const int delta = ((modemStatus_ ^ bits) & SerModem::Lines) >> 4;
    modemStatus_ = (bits & SerModem::Lines) | (modemStatus_ & 0x0F) | delta | (status->Status & kEventRing ? 0x04 : 0);
    log_.Add(SerLog::Line, SerLog::ModemStatus, static_cast<uint32_t>(modemStatus_));
  }
  return true;
}

bool TSerDispatcher::StatusConditionLocked(const TStatusTrigger& t, int& value) {
  value = 0;
  switch (t.Handle & SerStatus::KindMask) {
    case SerStatus::ModemStatus: return ((modemStatus_ ^ t.ModemLines) & t.Value & SerModem::Lines) != 0;
    case SerStatus::LineError: return (lineErrors_ & t.Value) != 0;
    case SerStatus::OutbuffFree: {
      std::lock_guard lock(outLock_);
      value = static_cast<int>(out_.size()) - OutputUsedLocked();
      return value >= t.Value;
    }
    case SerStatus::OutbuffUsed: {
      std::lock_guard lock(outLock_);
      value = OutputUsedLocked();
      return value <= t.Value;
    }
    case SerStatus::OutSent: return outputSent_.exchange(false);
    default: return false;
  }
}

// Each active status trigger whose condition holds fires once, in list order; so
// does each active timer trigger that expired.
void TSerDispatcher::CheckTriggers() {
  std::vector<TTriggerMessage> fired;
  {
    std::lock_guard lock(stateLock_);
    for (TStatusTrigger& t : statusTriggers_) {
      int value = 0;
      if (!t.Active || !StatusConditionLocked(t, value)) continue;
      t.Active = false;
      fired.push_back({SerMsg::Status, t.Handle, value});
    }
    const int32_t now = CurrentTick();
    for (TTimerTrigger& t : timers_) {
      if (!t.Active || !TimerExpired(t.Timer, now)) continue;
      t.Active = false;
      fired.push_back({SerMsg::Timer, t.Handle, 0});
    }
    if (!fired.empty()) UpdateWatchOutputLocked();
  }
  if (!fired.empty()) Enqueue(fired);
}

// Messages go behind an announcement of the bytes that came before them.
void TSerDispatcher::Enqueue(const std::vector<TTriggerMessage>& messages) {
  bool post;
  {
    std::lock_guard lock(dispatchLock_);
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
