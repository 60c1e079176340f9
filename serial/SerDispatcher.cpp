#include "serial/SerDispatcher.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "serial/SerErrorCodes.h"

namespace {

// Modem-line changes as the status thread reports them (the comm-event bits).
constexpr int kEventCTS = 0x0008;
constexpr int kEventDSR = 0x0010;
constexpr int kEventRLSD = 0x0020;
constexpr int kEventRing = 0x0100;

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
  writeIndex_ = readIndex_ = 0;
  ringFull_ = inAvail_ = deliveryPosted_ = arrived_ = false;
  getCount_ = 0;
  lineError_ = 0;
  kill_ = false;
  failureReported_ = failurePending_ = false;

  int result = device_->GetLineState(line_);
  if (result == 0) {
    dtrFlow_ = lineFlags & SerLineFlag::UseDTR;
    rtsFlow_ = lineFlags & (SerLineFlag::UseRTS | SerLineFlag::RequireCTS);
    line_.OutxCtsFlow = rtsFlow_;
    if (!dtrFlow_) SetDTR(lineFlags & SerLineFlag::DTR);
    if (!rtsFlow_) SetRTS(lineFlags & SerLineFlag::RTS);
    // The device's own state may already match; the line is programmed in any case.
    line_.Baud = -1;
    result = SetLine(baud, parity, stopBits, dataBits);
  }
  if (result < 0) {
    DonePort();
    return result;
  }
  int bits = 0;
  device_->GetModemStatus(bits);
  modemStatus_ = bits;
  StartDispatcher();
  return SerErr::Ok;
}

void TSerDispatcher::StartDispatcher() {
  running_ = true;
  reader_ = std::thread([this] { RunGuarded(&TSerDispatcher::ReaderLoop); });
  dispatch_ = std::thread([this] { RunGuarded(&TSerDispatcher::DispatchLoop); });
  writer_ = std::thread([this] { RunGuarded(&TSerDispatcher::WriterLoop); });
  status_ = std::thread([this] { RunGuarded(&TSerDispatcher::StatusLoop); });
}

void TSerDispatcher::RunGuarded(void (TSerDispatcher::*loop)()) {
  try {
    (this->*loop)();
  } catch (const std::bad_alloc&) {
    ReportFailure(SerErr::NoMemory);
  } catch (...) {
    ReportFailure(SerErr::GeneralFailure);
  }
}

void TSerDispatcher::DonePort() {
  if (!deviceOpen_) return;
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
  { std::lock_guard lock(dispatchLock_); }
  ringSpace_.notify_all();
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
  failurePending_ = true;
  input_.Push(std::make_unique<TFailureBuffer>(code));
  { std::lock_guard lock(dispatchLock_); }
  ringSpace_.notify_all();
}

void TSerDispatcher::ReportFailure(int code) {
  if (failureReported_.exchange(true)) return;
  lineError_ = -1;
  const bool stopping = kill_;
  Kill();
  if (!stopping && callbacks_.Failed) callbacks_.Failed(code);
}

int TSerDispatcher::SetLine(int baud, int parity, int stopBits, int dataBits) {
  if (baud < 0) return SerErr::BadBaudRate;
  if (dataBits != 9 && (dataBits < 5 || dataBits > 8)) return -2003;
  if (parity < 0 || parity > 5) return SerErr::BadArgument;
  TSerLineState wanted;
  {
    std::lock_guard lock(stateLock_);
    wanted = line_;
  }
  if (baud != 0) wanted.Baud = baud;
  if (parity != 5) wanted.Parity = parity;
  if (dataBits != 9) wanted.ByteSize = dataBits;
  if (stopBits != 3) {
    const int stop = stopBits == 0 ? 1 : std::min(stopBits, 2);
    wanted.StopBits = stop == 1 ? 0 : 2;
    if (wanted.ByteSize == 5) wanted.StopBits = 1;
  }
  {
    std::lock_guard lock(stateLock_);
    if (wanted == line_) return SerErr::Ok;
  }
  const int oldBaud = line_.Baud;
  if (running_) WaitOutputDrain(oldBaud, 1 + line_.ByteSize + (line_.Parity ? 1 : 0) + (line_.StopBits ? 2 : 1));
  const int result = device_->SetLineState(wanted);
  if (result < 0) return result;
  std::lock_guard lock(stateLock_);
  line_ = wanted;
  return SerErr::Ok;
}

// Changing the line under bytes still on their way would garble them.
void TSerDispatcher::WaitOutputDrain(int baud, int bitsPerChar) {
  for (int i = 0; i < 5000 && OutputUsed() > 0 && !kill_; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  if (baud <= 0) return;
  long long micros = 18LL * bitsPerChar * 1000000LL / baud;
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
  const int r = device_->SetRTS(on);
  return r < 0 ? r : 0;
}

int TSerDispatcher::SetFlowControl(bool hardware, bool xonXoffOut, bool xonXoffIn, char xonChar, char xoffChar) {
  TSerLineState wanted;
  {
    std::lock_guard lock(stateLock_);
    rtsFlow_ = hardware;
    wanted = line_;
  }
  wanted.OutxCtsFlow = hardware;
  wanted.OutX = xonXoffOut;
  wanted.InX = xonXoffIn;
  wanted.XonChar = xonChar;
  wanted.XoffChar = xoffChar;
  {
    std::lock_guard lock(stateLock_);
    if (wanted == line_) return SerErr::Ok;
  }
  const int result = device_->SetLineState(wanted);
  if (result < 0) return result;
  std::lock_guard lock(stateLock_);
  line_ = wanted;
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
  trace_.Add('T', data, count);
  log_.Add("Dispatch", "PutBlock", static_cast<uint32_t>(count), data, count);
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
    if (inAvail_) {
      consumeAll_ = true;
    } else {
      readIndex_ = writeIndex_;
      getCount_ = 0;
    }
    ringFull_ = false;
    input_.Clear();
  }
  ringSpace_.notify_all();
  if (deviceOpen_) device_->PurgeInput();
}

int TSerDispatcher::UnreadLocked() const {
  if (writeIndex_ == readIndex_) return ringFull_ ? kRingSize : 0;
  const int n = writeIndex_ - readIndex_;
  return n < 0 ? n + kRingSize : n;
}

int TSerDispatcher::PeekLocked(int n, uint8_t& byte) const {
  if (n < 1 || UnreadLocked() < n) return SerErr::BufferIsEmpty;
  byte = ring_[static_cast<size_t>((readIndex_ + n - 1) % kRingSize)];
  return SerErr::Ok;
}

int TSerDispatcher::InBuffUsed() {
  std::lock_guard lock(dispatchLock_);
  return UnreadLocked() - (inAvail_ ? getCount_ : 0);
}

int TSerDispatcher::GetChar(uint8_t& byte) {
  int result;
  bool freed = false;
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
        freed = ConsumeLocked(1);
        post = ClaimDeliveryLocked();
      }
    }
  }
  if (freed) ringSpace_.notify_all();
  if (post) RequestDelivery();
  if (result == 0) trace_.Add('R', &byte, 1);
  return result;
}

int TSerDispatcher::GetBlock(uint8_t* out, int count) {
  if (count <= 0) return 0;
  bool freed = false;
  bool post = false;
  int start;
  {
    std::lock_guard lock(dispatchLock_);
    if (ring_.empty()) return SerErr::CommNotOpen;
    const int offset = inAvail_ ? getCount_ : 0;
    if (UnreadLocked() - offset < count) return SerErr::GetBlockFail;
    start = (readIndex_ + offset) % kRingSize;
  }
  // Unread bytes stay where they are until this thread moves the read position on,
  // and the reader writes only into free room, so the copy needs no lock.
  const int first = std::min(count, kRingSize - start);
  std::memcpy(out, ring_.data() + start, static_cast<size_t>(first));
  std::memcpy(out + first, ring_.data(), static_cast<size_t>(count - first));
  {
    std::lock_guard lock(dispatchLock_);
    if (inAvail_) {
      getCount_ += count;
    } else {
      freed = ConsumeLocked(count);
      post = ClaimDeliveryLocked();
    }
  }
  if (freed) ringSpace_.notify_all();
  if (post) RequestDelivery();
  trace_.Add('R', out, static_cast<size_t>(count));
  return count;
}

void TSerDispatcher::SetAvailThreshold(int threshold) {
  std::lock_guard lock(dispatchLock_);
  availThreshold_ = std::max(threshold, 0);
}

void TSerDispatcher::SetPortHandlerInstalled(bool installed) {
  std::lock_guard lock(dispatchLock_);
  handlerInstalled_ = installed;
}

bool TSerDispatcher::InAvailMessage() {
  std::lock_guard lock(dispatchLock_);
  return inAvail_;
}

// An avail delivery is due when bytes arrived since the last one and enough are unread.
bool TSerDispatcher::AvailDueLocked() {
  return handlerInstalled_ && availThreshold_ > 0 && !deliveryPosted_ && arrived_ &&
         UnreadLocked() >= availThreshold_;
}

bool TSerDispatcher::ClaimDeliveryLocked() {
  if (kill_ || !AvailDueLocked()) return false;
  deliveryPosted_ = true;
  return true;
}

void TSerDispatcher::RequestDelivery() {
  if (callbacks_.AvailReady) callbacks_.AvailReady();
}

// Bytes waiting behind a full ring move up as soon as the GUI side makes room,
// without a round trip through the dispatch thread.
bool TSerDispatcher::ConsumeLocked(int count) {
  const bool wasFull = ringFull_;
  readIndex_ = (readIndex_ + count) % kRingSize;
  if (count > 0) ringFull_ = false;
  if (!kill_) ExtractLocked();
  return wasFull && !ringFull_;
}

void TSerDispatcher::DeliverAvail(const std::function<void(int)>& handler) {
  int count;
  {
    std::lock_guard lock(dispatchLock_);
    if (inAvail_) return;
    arrived_ = false;
    count = UnreadLocked();
    if (count == 0 || !handlerInstalled_) {
      deliveryPosted_ = false;
      return;
    }
    inAvail_ = true;
    getCount_ = 0;
    consumeAll_ = false;
  }
  log_.Add("Dispatch", "Avail", static_cast<uint32_t>(count));
  struct Finish {
    TSerDispatcher& d;
    ~Finish() {
      bool again;
      bool freed;
      {
        std::lock_guard lock(d.dispatchLock_);
        const int consumed = d.consumeAll_ ? d.UnreadLocked() : std::min(d.getCount_, d.UnreadLocked());
        d.inAvail_ = false;
        d.getCount_ = 0;
        d.consumeAll_ = false;
        d.deliveryPosted_ = false;
        freed = d.ConsumeLocked(consumed);
        again = d.ClaimDeliveryLocked();
      }
      if (freed) d.ringSpace_.notify_all();
      if (again) d.RequestDelivery();
    }
  } finish{*this};
  handler(count);
}

int TSerDispatcher::ModemStatus() {
  std::lock_guard lock(dispatchLock_);
  return modemStatus_;
}

int TSerDispatcher::LineError() { return lineError_.exchange(0) == -1 ? 10 : 0; }

// One read takes up to kReadSize bytes. The bytes go straight into the dispatch
// ring; only what the ring cannot take is split into input buffers and queued.
// Neither wakes the dispatch thread: whoever makes room in the ring moves the
// queued bytes up.
void TSerDispatcher::ReaderLoop() {
  std::vector<uint8_t> chunk(kReadSize);
  std::vector<std::unique_ptr<TIOBuffer>> buffers;
  bool drained = true;
  while (!kill_) {
    if (!input_.WaitForRoom(kInputQueueLimit - kReadSize)) return;
    // A stream is read until the device has nothing more before the next wait, so
    // bytes that arrived meanwhile cost no wake-up.
    if (drained) {
      const int ready = device_->WaitReadable();
      if (kill_ || ready == SerWait::Woken) return;
      if (ready < 0) return Fail(ready);
    }
    const int n = device_->Read(chunk.data(), chunk.size());
    if (n < 0) return Fail(n);
    drained = n == 0;
    if (drained) {
      AnnounceArrived();
      continue;
    }
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
      post = (n < kInputBufferSize || UnreadLocked() + input_.BytesQueued() >= kStreamBatch) &&
             ClaimDeliveryLocked();
    }
    if (post) RequestDelivery();
  }
}

// Bytes may pass the queue only while no received bytes wait in it, so that they
// keep their order; the reader is the only thread that queues data.
// The copy into the free room is made outside the lock: while no received bytes
// are queued nobody else writes into the ring, and the GUI side only reads the
// unread part, so it never waits for the copy.
int TSerDispatcher::CopyIntoRing(const uint8_t* data, int count) {
  int start = 0;
  int taken = 0;
  {
    std::lock_guard lock(dispatchLock_);
    if (!ringFull_ && input_.BytesQueued() == 0) {
      start = writeIndex_;
      taken = std::min(count, kRingSize - UnreadLocked());
    }
  }
  const int first = std::min(taken, kRingSize - start);
  std::memcpy(ring_.data() + start, data, static_cast<size_t>(first));
  std::memcpy(ring_.data(), data + first, static_cast<size_t>(taken - first));
  return taken;
}

void TSerDispatcher::CommitReceived(int copied, std::vector<std::unique_ptr<TIOBuffer>>& rest) {
  if (copied > 0) {
    writeIndex_ = (writeIndex_ + copied) % kRingSize;
    if (writeIndex_ == readIndex_) ringFull_ = true;
    arrived_ = true;
  }
  if (rest.empty()) return;
  input_.PushAll(rest);
  ExtractLocked();
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
    }
    size_t done = 0;
    while (done < block.size() && !kill_) {
      {
        std::lock_guard lock(outLock_);
        if (generation != flushGeneration_) break;
      }
      const int n = device_->Write(block.data() + done, block.size() - done);
      if (n < 0) return Fail(n);
      done += static_cast<size_t>(n);
      if (n == 0) {
        const int ready = device_->WaitWritable();
        if (ready == SerWait::Woken) return;
        if (ready < 0) return Fail(ready);
      }
    }
  }
}

// Modem lines have no wake-up of their own that a stop could end, so a device
// that has them is looked at ten times a second; one without them is left alone.
void TSerDispatcher::StatusLoop() {
  int last = 0;
  device_->GetModemStatus(last);
  std::unique_lock lock(stateLock_);
  while (!kill_) {
    if (!device_->HasModemLines()) {
      stateChanged_.wait(lock, [this] { return kill_.load(); });
      return;
    }
    if (stateChanged_.wait_for(lock, std::chrono::milliseconds(100), [this] { return kill_.load(); })) return;
    int bits = 0;
    if (device_->GetModemStatus(bits) < 0) continue;
    const int events = ChangedLineEvents(last, bits);
    last = bits;
    if (events) input_.Push(std::make_unique<TStatusBuffer>(events));
  }
}

void TSerDispatcher::DispatchLoop() {
  while (!kill_) {
    {
      std::unique_lock lock(dispatchLock_);
      ringSpace_.wait(lock, [this] { return kill_ || !ringFull_ || failurePending_; });
      if (kill_) return;
      // A failure behind bytes that cannot enter the full ring is reported now.
      if (ringFull_ && failurePending_) {
        lock.unlock();
        return ReportFailure(SerErr::ReadFault);
      }
    }
    if (!input_.WaitForData(std::chrono::hours(1))) continue;
    ProcessCycle();
  }
}

// The reader moves data on by itself; here status items and a failure mark are
// taken off the front, and whatever data the reader left is moved on.
void TSerDispatcher::ProcessCycle() {
  if (std::unique_ptr<TIOBuffer> front = input_.PopIfNotData()) {
    if (auto* status = dynamic_cast<TStatusBuffer*>(front.get())) {
      int bits = 0;
      device_->GetModemStatus(bits);
      std::lock_guard lock(dispatchLock_);
      modemStatus_ = (bits & 0xF0) | (((modemStatus_ ^ bits) & 0xF0) >> 4) | (status->Status & kEventRing ? 0x04 : 0);
    } else if (auto* failure = dynamic_cast<TFailureBuffer*>(front.get())) {
      return ReportFailure(failure->Code);
    }
  }
  ExtractData();
}

void TSerDispatcher::ExtractData() {
  {
    std::lock_guard lock(dispatchLock_);
    if (ringFull_) {
      log_.Add("Dispatch", "Full", 0);
      return;
    }
    ExtractLocked();
  }
  AnnounceArrived();
}

void TSerDispatcher::ExtractLocked() {
  if (ringFull_) return;
  const int free = kRingSize - UnreadLocked();
  const int room = writeIndex_ >= readIndex_ ? kRingSize - writeIndex_ : readIndex_ - writeIndex_;
  int got = input_.ReadQueued(ring_.data() + writeIndex_, std::min(room, free));
  if (got == room && free > room) got += input_.ReadQueued(ring_.data(), free - room);
  if (got > 0) {
    writeIndex_ = (writeIndex_ + got) % kRingSize;
    if (writeIndex_ == readIndex_) ringFull_ = true;
    arrived_ = true;
  }
}
