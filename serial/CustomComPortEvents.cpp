// The event threads of the component set's port and the delivery of what they
// see, by delivery mode.
#include <QMetaObject>
#include <algorithm>
#include <stdexcept>
#include <utility>

#include "platform/guard.h"
#include "serial/CustomComPort.h"

namespace {

// The order in which the events of one wake-up reach the program, in every mode.
constexpr TComEvent kEventOrder[] = {evError, evRxChar, evTxEmpty, evBreak, evRing,
                                     evCTS,   evDSR,    evRxFlag,  evRLSD,  evRx80Full};

}  // namespace

TComEventWindow::TComEventWindow(TCustomComPort* port) : QObject(port), port_(port) {}

void TComEventWindow::Message() { port_->DeliverOne(); }

void TCustomComPort::StopThreads() {
  stop_ = true;
  device_->Wake();
  {
    std::lock_guard lock(lock_);
    changed_.notify_all();
  }
  for (std::thread* t : {&eventThread_, &modemThread_})
    if (t->joinable()) t->join();
}

// The event thread moves what arrives into the port's queue while there is room
// in it, and tells of what came with it: the event character, the queue passing
// 80 %, line errors and breaks; and, while written bytes are on their way, of the
// device's output running empty.
void TCustomComPort::EventLoop() {
  constexpr int kTxPollMs = 2;
  std::vector<uint8_t> chunk(4096);
  while (!stop_) {
    int room;
    bool watchTx;
    {
      std::unique_lock lock(lock_);
      changed_.wait(lock, [this] {
        return stop_ || modemPending_ != 0 || static_cast<int>(queue_.size()) < queueLimit_;
      });
      if (stop_) return;
      room = queueLimit_ - static_cast<int>(queue_.size());
      watchTx = txPending_;
    }
    // A full queue reads nothing, but modem-line changes still go out.
    const int ready = room > 0 ? device_->WaitReadable(watchTx ? kTxPollMs : SerWait::Forever) : SerWait::TimedOut;
    if (stop_ || ready == SerWait::Woken) return;
    TComEvents events = 0;
    int n = 0;
    if (ready == SerWait::Ready) n = device_->Read(chunk.data(), std::min<size_t>(chunk.size(), room));
    const int errors = ready < 0 ? ready : device_->TakeLineErrors();
    {
      std::lock_guard lock(lock_);
      events |= std::exchange(modemPending_, 0u);
      if (ready < 0 || n < 0) {
        readFailure_ = ready < 0 ? ready : n;
        lineErrors_ |= ComLineError::IO;
        events |= EventBit(evError);
      }
      if (n > 0) {
        const int limit = queueLimit_ * 8 / 10;
        const bool below = static_cast<int>(queue_.size()) < limit;
        queue_.insert(queue_.end(), chunk.begin(), chunk.begin() + n);
        events |= EventBit(evRxChar);
        if (std::find(chunk.begin(), chunk.begin() + n, static_cast<uint8_t>(watchedChar_.load())) != chunk.begin() + n)
          events |= EventBit(evRxFlag);
        if (below && static_cast<int>(queue_.size()) >= limit) events |= EventBit(evRx80Full);
      }
      if (errors > 0) {
        int set = 0;
        if (errors & SerLineError::Framing) set |= ComLineError::Frame;
        if ((errors & SerLineError::Parity) && parity_.Check) set |= ComLineError::Parity;
        if (errors & SerLineError::Overrun) set |= ComLineError::Overrun;
        if (errors & SerLineError::Break) set |= ComLineError::Break;
        if (errors & SerLineError::Overflow) set |= ComLineError::RxOver;
        lineErrors_ |= set;
        if (set & ~ComLineError::Break) events |= EventBit(evError);
        if (set & ComLineError::Break) events |= EventBit(evBreak);
      }
      if (txPending_ && device_->OutputCount() == 0) {
        txPending_ = false;
        events |= EventBit(evTxEmpty);
      }
    }
    changed_.notify_all();
    Signal(events & events_);
    if (readFailure_ != 0) return;
  }
}

// Waits for the modem lines: the device's own wait where it has one, else it polls.
void TCustomComPort::ModemLoop(int last) {
  while (!stop_) {
    int bits = last;
    const int r = device_->WaitModemChange(bits);
    if (stop_ || r != SerWait::Ready) return;
    const int changed = last ^ bits;
    TComEvents events = 0;
    if (changed & SerModem::CTS) events |= EventBit(evCTS);
    if (changed & SerModem::DSR) events |= EventBit(evDSR);
    if (changed & SerModem::RLSD) events |= EventBit(evRLSD);
    if ((bits & SerModem::Ring) && !(last & SerModem::Ring)) events |= EventBit(evRing);
    last = bits;
    if (deliveryMode_ != 2) {
      Signal(events & events_);
      continue;
    }
    // Handlers of delivery mode 2 run on the event thread alone, never two at once.
    {
      std::lock_guard lock(lock_);
      modemPending_ |= events & events_;
    }
    changed_.notify_all();
    device_->Interrupt();
  }
}

void TCustomComPort::Signal(TComEvents events) {
  if (!events) return;
  if (deliveryMode_ == 2) return DeliverOnEventThread(events);
  bool post = false;
  int messages = 0;
  {
    std::lock_guard lock(lock_);
    if (deliveryMode_ == 1) {
      for (const TComEvent e : kEventOrder) {
        if (!(events & EventBit(e)) || (pending_ & EventBit(e))) continue;
        pendingOrder_.push_back(e);
        ++messages;
      }
    } else {
      post = !deliveryPosted_;
      deliveryPosted_ = true;
    }
    pending_ |= events;
  }
  // Invoked by name, so that Qt makes the queued call inside its own library and
  // nothing of ours travels between the threads outside our locks.
  if (post) QMetaObject::invokeMethod(this, "DeliverPending", Qt::QueuedConnection);
  for (int i = 0; i < messages; ++i) QMetaObject::invokeMethod(window_, "Message", Qt::QueuedConnection);
}

void TCustomComPort::DeliverPending() {
  TComEvents events;
  {
    std::lock_guard lock(lock_);
    events = pending_;
    pending_ = 0;
    deliveryPosted_ = false;
  }
  if (connected_) Guarded([&] { Deliver(events); });
}

// A handler's failure is shown on the GUI thread, as in the other modes; the
// event thread goes on.
void TCustomComPort::DeliverOnEventThread(TComEvents events) {
  std::string failure;
  try {
    Deliver(events);
    return;
  } catch (const std::exception& e) {
    failure = e.what();
  } catch (...) {
    failure = "An unexpected error occurred.";
  }
  {
    std::lock_guard lock(lock_);
    failures_.push_back(std::move(failure));
  }
  QMetaObject::invokeMethod(this, "ShowFailures", Qt::QueuedConnection);
}

void TCustomComPort::ShowFailures() {
  std::deque<std::string> failures;
  {
    std::lock_guard lock(lock_);
    failures.swap(failures_);
  }
  for (const std::string& failure : failures) ShowException(std::runtime_error(failure));
}

void TCustomComPort::DeliverOne() {
  TComEvents event = 0;
  {
    std::lock_guard lock(lock_);
    if (pendingOrder_.empty()) return;
    event = EventBit(pendingOrder_.front());
    pendingOrder_.pop_front();
    pending_ &= ~event;
  }
  if (connected_) Guarded([&] { Deliver(event); });
}

// One wake-up's events, in their fixed order.
void TCustomComPort::Deliver(TComEvents events) {
  for (const TComEvent e : kEventOrder) {
    if (!(events & EventBit(e))) continue;
    switch (e) {
      case evError:
        if (const int errors = LineErrors(); errors != 0 && OnError) OnError(this, errors);
        break;
      case evRxChar: DeliverRxChar(); break;
      case evTxEmpty:
        for (TComLink* link : links_) link->TxActivity(false);
        if (OnTxEmpty) OnTxEmpty(this);
        break;
      case evBreak:
        if (OnBreak) OnBreak(this);
        break;
      case evRing:
        if (OnRing) OnRing(this);
        break;
      case evRxFlag:
        if (OnRxFlag) OnRxFlag(this);
        break;
      case evRx80Full:
        if (OnRx80Full) OnRx80Full(this);
        break;
      default: DeliverModem(e); break;
    }
  }
}

void TCustomComPort::DeliverRxChar() {
  int count = InputCount();
  if (count > 0)
    for (TComLink* link : links_) link->RxActivity(true);
  if (!(RxCountSwitch && !RxBufferSwitch)) {
    std::string bytes;
    bool read = false;
    auto readOnce = [&] {
      if (read) return;
      read = true;
      bytes.resize(static_cast<size_t>(count));
      bytes.resize(static_cast<size_t>(Read(bytes.data(), count)));
      if (OnRxBuf) OnRxBuf(this, bytes.data(), static_cast<int>(bytes.size()));
    };
    bool taken = false;
    for (TComLink* link : links_) {
      if (!link->TakesRxBuffer()) continue;
      readOnce();
      link->RxBuffer(bytes.data(), static_cast<int>(bytes.size()));
      taken = true;
    }
    if (!taken && !RxCountSwitch) readOnce();
    if (read) count = 0;
  }
  if (count > 0 && OnRxChar) OnRxChar(this, count);
}

void TCustomComPort::DeliverModem(TComEvent event) {
  const int lines = ModemSignals();
  if (event == evCTS) {
    for (TComLink* link : links_) link->CTSChange(lines & 1);
    if (OnCTSChange) OnCTSChange(this, lines & 1);
  } else if (event == evDSR) {
    for (TComLink* link : links_) link->DSRChange(lines & 2);
    if (OnDSRChange) OnDSRChange(this, lines & 2);
  } else if (event == evRLSD) {
    for (TComLink* link : links_) link->RLSDChange(lines & 8);
    if (OnRLSDChange) OnRLSDChange(this, lines & 8);
  }
}
