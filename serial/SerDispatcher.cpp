#include "serial/SerDispatcher.h"

#include <algorithm>
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

int ChangedLineEvents(int before, int after) {
  const int changed = before ^ after;
  int events = 0;
  if (changed & SerModem::CTS) events |= kEventCTS;
  if (changed & SerModem::DSR) events |= kEventDSR;
  if (changed & SerModem::RLSD) events |= kEventRLSD;
  if ((after & SerModem::Ring) && !(before & SerModem::Ring)) events |= kEventRing;
  return events;
}

}  // namespace

TSerDispatcher::TSerDispatcher(std::unique_ptr<TSerDevice> device, TSerDispatcherCallbacks callbacks)
    : device_(std::move(device)),
      callbacks_(std::move(callbacks)),
      line_(*device_),
      ring_(input_, kill_, stopped_, trace_, log_, [this] {
        if (callbacks_.DeliveryReady) callbacks_.DeliveryReady();
      }) {}

TSerDispatcher::~TSerDispatcher() { DonePort(); }

int TSerDispatcher::InitPort(const std::string& deviceName, int baud, int lineFlags, int outSize, int inSize,
                             int stopBits, int dataBits, int parity) {
  if (running_ || deviceOpen_) return SerErr::AlreadyOpen;
  const int opened = device_->Open(deviceName);
  if (opened < 0) return opened;
  deviceOpen_ = true;
  try {
    ring_.Allocate();
    out_.Allocate(static_cast<size_t>(std::max(outSize, 0)));
  } catch (const std::bad_alloc&) {
    DonePort();
    return SerErr::OutOfMemory;
  }
  (void)inSize;  // the kernel sizes its own queues
  triggers_.Clear();
  kill_ = stopped_ = false;
  failureReported_ = failed_ = false;

  line_.Reset(lineFlags);
  int result = std::min(SetDTR(lineFlags & SerLineFlag::DTR), 0);
  if (result == 0) result = std::min(SetRTS(lineFlags & SerLineFlag::RTS), 0);
  if (result == 0) result = SetLine(baud, parity, stopBits, dataBits);
  if (result < 0) {
    DonePort();
    return result;
  }
  int bits = 0;
  device_->GetModemStatus(bits);
  line_.SetLines(bits);
  device_->TakeLineErrors();
  StartDispatcher();
  return SerErr::Ok;
}

void TSerDispatcher::StartDispatcher() {
  if (running_) throw std::logic_error("Dispatcher already started.");
  running_ = true;
  reader_ = std::thread([this] { RunGuarded([this] { ReaderLoop(); }); });
  dispatch_ = std::thread([this] { RunGuarded([this] { DispatchLoop(); }); });
  writer_ = std::thread([this] {
    RunGuarded([this] {
      out_.RunWriter(
          *device_, kill_, [this] { if (triggers_.WatchesOutput()) input_.Poke(); }, [this](int code) { Fail(code); });
    });
  });
  // Changes count from the lines the open found.
  status_ = std::thread([this, lines = line_.Lines()] { RunGuarded([&] { StatusLoop(lines); }); });
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
  out_.WakeWriter();
  { std::lock_guard lock(killLock_); }
  killed_.notify_all();
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
  ring_.AnnounceArrived();
  input_.Push(std::make_unique<TFailureBuffer>(code));
}

// The failure mark is a pending line error too, so a line-error trigger sees it.
void TSerDispatcher::ReportFailure(int code) {
  if (failureReported_.exchange(true)) return;
  const bool stopping = kill_;
  if (!stopping) failed_ = true;
  line_.MarkFailure();
  if (!stopping) CheckTriggers();
  Kill();
  if (!stopping && callbacks_.Failed) callbacks_.Failed(code);
}

void TSerDispatcher::LineErrorsSeen(int errors) {
  line_.AddLineErrors(errors);
  log_.Add(SerLog::Line, SerLog::LineError, static_cast<uint32_t>(errors));
  input_.Push(std::make_unique<TStatusBuffer>(((errors & SerLineError::Break) ? kEventBreak : 0) |
                                              ((errors & ~SerLineError::Break) ? kEventError : 0)));
}

int TSerDispatcher::SetLine(int baud, int parity, int stopBits, int dataBits) {
  return line_.SetLine(baud, parity, stopBits, dataBits, [this](const TSerLineState& line) {
    if (running_) out_.WaitDrained(*device_, kill_, line);
  });
}

int TSerDispatcher::Yield() {
  std::this_thread::yield();
  return SerErr::Ok;
}

int TSerDispatcher::PutBlock(const uint8_t* data, size_t count) {
  if (count == 0) return SerErr::Ok;
  if (!running_ || kill_) return SerErr::CommNotOpen;
  const int result = out_.Put(data, count);
  if (result < 0) return result;
  triggers_.OutputSent();
  if (triggers_.WatchesOutput()) input_.Poke();
  trace_.Add('T', data, count);
  log_.Add(SerLog::Dispatch, SerLog::PutBlock, static_cast<uint32_t>(count), data, count);
  return SerErr::Ok;
}

void TSerDispatcher::FlushOutput() {
  out_.Flush();
  if (deviceOpen_) device_->PurgeOutput();
}

void TSerDispatcher::FlushInput() {
  ring_.Flush();
  if (deviceOpen_) device_->PurgeInput();
}

int TSerDispatcher::AddDataTrigger(const std::string& pattern, bool ignoreCase) {
  if (pattern.empty()) return SerErr::BadArgument;
  if (pattern.size() > kMaxPatternLength) return SerErr::TriggerTooLong;
  const int handle = triggers_.NewHandle(SerTriggerKind::Data);
  if (handle < 0) return handle;
  ring_.AddDataTrigger(handle, pattern, ignoreCase);
  return handle;
}

int TSerDispatcher::SetTimerTrigger(int handle, int ticks, bool activate) {
  const int result = triggers_.SetTimer(handle, ticks, activate);
  if (result < 0) return result;
  input_.Poke();
  return SerErr::Ok;
}

int TSerDispatcher::SetStatusTrigger(int handle, int value, bool activate) {
  const int result = triggers_.SetStatus(handle, value, activate, line_.Lines());
  if (result < 0) return result;
  input_.Poke();
  return SerErr::Ok;
}

int TSerDispatcher::RemoveTrigger(int handle) {
  const bool found = (handle & SerStatus::KindMask) == SerTriggerKind::Data ? ring_.RemoveDataTrigger(handle)
                                                                             : triggers_.Remove(handle);
  return found ? SerErr::Ok : SerErr::BadTriggerHandle;
}

TTriggerSet TSerDispatcher::Triggers() {
  TTriggerSet set;
  ring_.SaveTo(set);
  triggers_.SaveTo(set);
  return set;
}

void TSerDispatcher::RestoreTriggers(const TTriggerSet& set) {
  ring_.RestoreFrom(set);
  triggers_.RestoreFrom(set);
  input_.Poke();
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
      ring_.AnnounceArrived();
      continue;
    }
    // A line that has run at its full rate for a while is read in batches: the
    // next bytes will be there anyway, and the GUI thread then wakes once a batch
    // rather than once for each few bytes a UART hands on. A reply, shorter than
    // that while, comes at once; so does anything faster than the line's rate.
    const auto now = Clock::now();
    const int bytesPerSecond = line_.BytesPerSecond();
    const double capacity = bytesPerSecond * std::chrono::duration<double>(now - lastRead).count();
    const bool fullRate = bytesPerSecond > 0 && n >= capacity / 2 && n <= 2 * capacity + kFifoBytes;
    if (!fullRate) fullRateSince = now;
    lastRead = now;
    const bool batch = fullRate && now - fullRateSince >= kStreamAfter;
    const int taken = ring_.CopyIntoRing(chunk.data(), n);
    for (int done = taken; done < n; done += kInputBufferSize) {
      auto buffer = std::make_unique<TDataBuffer>(kInputBufferSize);
      buffer->Used = std::min(kInputBufferSize, n - done);
      std::memcpy(buffer->Data.data(), chunk.data() + done, static_cast<size_t>(buffer->Used));
      buffers.push_back(std::move(buffer));
    }
    ring_.Received(taken, buffers, n < kInputBufferSize);
    if (batch) {
      const auto hold = std::min<std::chrono::microseconds>(
          kMaxBatchWait, std::chrono::microseconds(1000000LL * kBatchBytes / bytesPerSecond));
      std::unique_lock lock(killLock_);
      killed_.wait_for(lock, hold, [this] { return kill_.load(); });
    }
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
  std::unique_lock lock(killLock_);
  killed_.wait(lock, [this] { return kill_.load(); });
}

void TSerDispatcher::DispatchLoop() {
  while (!kill_) {
    input_.WaitForWork(triggers_.TimerWait());
    if (kill_) return;
    bool took = false;
    while (std::unique_ptr<TIOBuffer> item = input_.PopIfNotData()) {
      if (!HandleItem(*item)) return;
      took = true;
    }
    // Received bytes queued behind what was taken waited only for it to go.
    if (took) ring_.MoveQueuedUp();
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
    const int modem = line_.LinesChanged(bits, status->Status & kEventRing);
    log_.Add(SerLog::Line, SerLog::ModemStatus, static_cast<uint32_t>(modem));
  }
  return true;
}

void TSerDispatcher::CheckTriggers() {
  const std::vector<TTriggerMessage> fired = triggers_.Check(line_, out_);
  if (!fired.empty()) ring_.Enqueue(fired);
}
