#include "serial/CustomComPort.h"

#include <QMetaObject>
#include <algorithm>
#include <cerrno>
#include <stdexcept>
#include <utility>

#include "platform/guard.h"
#include "platform/inifile.h"
#include "serial/SerErrorCodes.h"
#include "serial/TermiosDevice.h"

namespace {

bool IsComName(const std::string& port, int& number) {
  if (port.size() < 4 || port.compare(0, 3, "COM") != 0) return false;
  number = 0;
  for (size_t i = 3; i < port.size(); ++i) {
    if (port[i] < '0' || port[i] > '9') return false;
    number = number * 10 + (port[i] - '0');
  }
  return number >= 1;
}

std::string DeviceOf(const std::string& port) {
  int number = 0;
  return IsComName(port, number) ? "/dev/ttyS" + std::to_string(number - 1) : port;
}

// The order in which the events of one wake-up reach the program, in every mode.
constexpr TComEvent kEventOrder[] = {evError, evRxChar, evTxEmpty, evBreak, evRing,
                                     evCTS,   evDSR,    evRxFlag,  evRLSD,  evRx80Full};

QString Yes(bool on) { return on ? QStringLiteral("Yes") : QStringLiteral("No"); }
QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

QString CharText(char c) {
  const int code = static_cast<unsigned char>(c);
  if (code >= 33 && code <= 127) return QString(QChar(code));
  return QStringLiteral("#%1").arg(code);
}

char CharFromText(const QString& text) {
  if (text.isEmpty()) return 0;
  if (text.startsWith(QLatin1Char('#')) && text.size() > 1) return static_cast<char>(text.mid(1).toInt());
  return text.at(0).toLatin1();
}

bool BoolFromText(const QString& text) { return text.toUpper() == QStringLiteral("YES"); }

void TComTimeouts::Assign(const TComTimeouts& o) {
  ReadInterval = o.ReadInterval;
  ReadTotalMultiplier = o.ReadTotalMultiplier;
  ReadTotalConstant = o.ReadTotalConstant;
  WriteTotalMultiplier = o.WriteTotalMultiplier;
  WriteTotalConstant = o.WriteTotalConstant;
}

TFlowControl TComFlowControl::FlowControl() const {
  if (ControlRTS == rtsHandshake && OutCTSFlow && !XonXoffIn && !XonXoffOut) return fcHardware;
  if (ControlRTS == rtsDisable && !OutCTSFlow && XonXoffIn && XonXoffOut) return fcSoftware;
  if (ControlRTS != rtsDisable || OutCTSFlow || XonXoffIn || XonXoffOut) return fcCustom;
  return fcNone;
}

void TComFlowControl::SetFlowControl(TFlowControl value) {
  if (value != fcCustom) {
    ControlRTS = rtsDisable;
    OutCTSFlow = XonXoffIn = XonXoffOut = false;
    if (value == fcHardware) {
      ControlRTS = rtsHandshake;
      OutCTSFlow = true;
    } else if (value == fcSoftware) {
      XonXoffIn = XonXoffOut = true;
    }
  }
  Changed();
}

void TComFlowControl::Changed() {
  if (port_) port_->ApplyLineSettings();
}

void TComFlowControl::Assign(const TComFlowControl& o) {
  TCustomComPort* port = port_;
  *this = o;
  port_ = port;
}

void TComParity::Changed() {
  if (port_) port_->ApplyLineSettings();
}

void TComParity::Assign(const TComParity& o) {
  Bits = o.Bits;
  Check = o.Check;
  Replace = o.Replace;
  ReplaceChar = o.ReplaceChar;
}

void TComBuffer::SetInputSize(int size) {
  input_ = size > 0 && size % 2 ? size - 1 : size;
  if (port_) port_->ApplyBufferSizes();
}

void TComBuffer::SetOutputSize(int size) {
  output_ = size > 0 && size % 2 ? size - 1 : size;
  if (port_) port_->ApplyBufferSizes();
}

void TComBuffer::Assign(const TComBuffer& o) {
  input_ = o.input_;
  output_ = o.output_;
}

TComEventWindow::TComEventWindow(TCustomComPort* port) : QObject(port), port_(port) {}

void TComEventWindow::Message() { port_->DeliverOne(); }

TCustomComPort::TCustomComPort(QObject* owner) : QObject(owner) {}

TCustomComPort::~TCustomComPort() {
  try {
    Close();
  } catch (const EComPort&) {
    // A port that is going away has no one left to tell.
  }
}

void TCustomComPort::Raise(int code) { throw EComPort(code, device_ ? device_->LastSystemError() : -1); }

void TCustomComPort::SetPort(const std::string& port) {
  if (port == port_) return;
  port_ = port;
  if (connected_ && !loading_) {
    Close();
    Open();
  }
}

void TCustomComPort::SetBaudRate(TBaudRateCode code) {
  if (code == baudRate_) return;
  baudRate_ = code;
  ApplyLineSettings();
}

void TCustomComPort::SetCustomBaudRate(int rate) {
  if (rate == customBaudRate_) return;
  customBaudRate_ = rate;
  ApplyLineSettings();
}

void TCustomComPort::SetStopBits(TStopBitsCode code) {
  if (code == stopBits_) return;
  stopBits_ = code;
  ApplyLineSettings();
}

void TCustomComPort::SetDataBits(TDataBitsCode code) {
  if (code == dataBits_) return;
  dataBits_ = code;
  ApplyLineSettings();
}

void TCustomComPort::SetDiscardNull(bool on) {
  if (on == discardNull_) return;
  discardNull_ = on;
  ApplyLineSettings();
}

void TCustomComPort::SetEventChar(char c) {
  if (c == eventChar_) return;
  eventChar_ = c;
  ApplyLineSettings();
}

void TCustomComPort::EndUpdate() {
  if (updateCount_ == 0 || --updateCount_ > 0) return;
  ApplyBufferSizes();
  ApplyLineSettings();
}

// The line settings of Linux: DSR flow, DSR sensitivity and continuing after an
// XOFF have no counterpart there; RTS toggling is the device's RS-485 mode.
void TCustomComPort::ApplyLineSettings() {
  if (!Applies()) return;
  TSerLineState s;
  const std::string rate = BaudRateText(baudRate_);
  if (baudRate_ != brCustom && rate.empty()) throw EComPort(7, EINVAL);
  if (dataBits_ < dbFive || dataBits_ > dbEight || stopBits_ < sbOneStopBit || stopBits_ > sbTwoStopBits ||
      parity_.Bits < prNone || parity_.Bits > prSpace)
    throw EComPort(7, EINVAL);
  s.Baud = baudRate_ == brCustom ? customBaudRate_ : std::stoi(rate);
  s.ByteSize = 5 + dataBits_;
  s.Parity = parity_.Bits;
  s.StopBits = stopBits_;
  s.OutxCtsFlow = flowControl_.OutCTSFlow || flowControl_.ControlRTS == rtsHandshake;
  s.OutX = flowControl_.XonXoffOut;
  s.InX = flowControl_.XonXoffIn;
  s.XonChar = flowControl_.XonChar;
  s.XoffChar = flowControl_.XoffChar;
  s.CheckParity = parity_.Check;
  s.ReplaceErrors = parity_.Check && parity_.Replace;
  s.ErrorChar = parity_.ReplaceChar;
  s.DiscardNull = discardNull_;
  watchedChar_ = eventChar_;
  if (device_->SetLineState(s) < 0) Raise(7);
  if (flowControl_.ControlDTR != dtrHandshake && device_->SetDTR(flowControl_.ControlDTR == dtrEnable) < 0) Raise(12);
  const bool toggle = flowControl_.ControlRTS == rtsToggle;
  if (device_->SetRS485(toggle) < 0) Raise(12);
  if (flowControl_.ControlRTS != rtsHandshake && !toggle && device_->SetRTS(flowControl_.ControlRTS == rtsEnable) < 0)
    Raise(12);
}

// The kernel keeps its own queues; the input size bounds what the event thread
// holds for Read.
void TCustomComPort::ApplyBufferSizes() {
  if (!Applies()) return;
  std::lock_guard lock(lock_);
  queueLimit_ = std::max(buffer_.InputSize(), 2);
  changed_.notify_all();
}

void TCustomComPort::Open() {
  if (connected_) return;
  if (OnBeforeOpen) OnBeforeOpen(this);
  device_ = deviceFactory_ ? deviceFactory_() : std::make_unique<TTermiosDevice>();
  if (device_->Open(DeviceOf(port_)) < 0) {
    const int error = device_->LastSystemError();
    device_.reset();
    throw EComPort(1, error);
  }
  connected_ = true;
  try {
    ApplyBufferSizes();
    ApplyLineSettings();
  } catch (...) {
    device_->Close();
    device_.reset();
    connected_ = false;
    throw;
  }
  stop_ = false;
  queue_.clear();
  lineErrors_ = 0;
  pending_ = modemPending_ = 0;
  pendingOrder_.clear();
  failures_.clear();
  deliveryPosted_ = txPending_ = false;
  readFailure_ = 0;
  if (events_ != 0) {
    if (deliveryMode_ == 1) window_ = new TComEventWindow(this);
    eventThread_ = std::thread([this] { EventLoop(); });
    constexpr TComEvents modem = EventBit(evCTS) | EventBit(evDSR) | EventBit(evRLSD) | EventBit(evRing);
    // Changes count from the lines as they are now, which the open reports.
    int lines = 0;
    if ((events_ & modem) && device_->GetModemStatus(lines) == 0)
      modemThread_ = std::thread([this, lines] { ModemLoop(lines); });
  }
  if (OnAfterOpen) OnAfterOpen(this);
  for (const TComEvent e : {evCTS, evDSR, evRLSD}) DeliverModem(e);
}

void TCustomComPort::SetConnected(bool on) {
  if (loading_) {
    connectAfterLoad_ = on;
    return;
  }
  if (on)
    Open();
  else
    Close();
}

void TCustomComPort::Loaded() {
  loading_ = false;
  if (!connectAfterLoad_) return;
  connectAfterLoad_ = false;
  Guarded([this] { Open(); });
}

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

void TCustomComPort::Close() {
  if (!connected_) return;
  for (TComLink* link : links_) {
    link->CTSChange(false);
    link->DSRChange(false);
    link->RLSDChange(false);
  }
  if (OnCTSChange) OnCTSChange(this, false);
  if (OnDSRChange) OnDSRChange(this, false);
  if (OnRLSDChange) OnRLSDChange(this, false);
  if (OnBeforeClose) OnBeforeClose(this);
  // A device that hung up cannot purge, but it still closes.
  const bool inputPurged = device_->PurgeInput() >= 0;
  const bool purged = device_->PurgeOutput() >= 0 && inputPurged;
  const int purgeError = device_->LastSystemError();
  StopThreads();
  delete window_;
  window_ = nullptr;
  device_->Close();
  device_.reset();
  connected_ = false;
  if (OnAfterClose) OnAfterClose(this);
  if (!purged) throw EComPort(5, purgeError);
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

void TCustomComPort::RegisterLink(TComLink* link) {
  if (!link || std::find(links_.begin(), links_.end(), link) != links_.end()) throw EComPort(18);
  links_.push_back(link);
}

void TCustomComPort::UnregisterLink(TComLink* link) {
  const auto it = std::find(links_.begin(), links_.end(), link);
  if (it == links_.end()) throw EComPort(18);
  links_.erase(it);
}

QString TCustomComPort::Section() const { return objectName(); }

void TCustomComPort::StoreToIni(TMemIniFile& ini) const {
  const QString s = Section();
  if (StoredGroups & sgBasic) {
    ini.WriteString(s, QStringLiteral("Port"), Q(port_));
    ini.WriteString(s, QStringLiteral("BaudRate"), Q(BaudRateText(baudRate_)));
    if (baudRate_ == brCustom) ini.WriteInteger(s, QStringLiteral("CustomBaudRate"), customBaudRate_);
    ini.WriteString(s, QStringLiteral("StopBits"), Q(StopBitsText(stopBits_)));
    ini.WriteString(s, QStringLiteral("DataBits"), Q(DataBitsText(dataBits_)));
    ini.WriteString(s, QStringLiteral("Parity"), Q(ParityText(parity_.Bits)));
    ini.WriteString(s, QStringLiteral("FlowControl"), Q(FlowControlText(flowControl_.FlowControl())));
  }
  if (StoredGroups & sgMisc) {
    ini.WriteString(s, QStringLiteral("EventChar"), CharText(eventChar_));
    ini.WriteString(s, QStringLiteral("DiscardNull"), Yes(discardNull_));
  }
  if (StoredGroups & sgParity) {
    ini.WriteString(s, QStringLiteral("Parity.Check"), Yes(parity_.Check));
    ini.WriteString(s, QStringLiteral("Parity.Replace"), Yes(parity_.Replace));
    ini.WriteString(s, QStringLiteral("Parity.ReplaceChar"), CharText(parity_.ReplaceChar));
  }
  if (StoredGroups & sgBuffer) {
    ini.WriteInteger(s, QStringLiteral("Buffer.OutputSize"), buffer_.OutputSize());
    ini.WriteInteger(s, QStringLiteral("Buffer.InputSize"), buffer_.InputSize());
  }
  if (StoredGroups & sgTimeouts) {
    ini.WriteInteger(s, QStringLiteral("Timeouts.ReadInterval"), timeouts_.ReadInterval);
    ini.WriteInteger(s, QStringLiteral("Timeouts.ReadTotalConstant"), timeouts_.ReadTotalConstant);
    ini.WriteInteger(s, QStringLiteral("Timeouts.ReadTotalMultiplier"), timeouts_.ReadTotalMultiplier);
    ini.WriteInteger(s, QStringLiteral("Timeouts.WriteTotalConstant"), timeouts_.WriteTotalConstant);
    ini.WriteInteger(s, QStringLiteral("Timeouts.WriteTotalMultiplier"), timeouts_.WriteTotalMultiplier);
  }
  if (StoredGroups & sgFlowControl) {
    const TComFlowControl& f = flowControl_;
    ini.WriteString(s, QStringLiteral("FlowControl.ControlRTS"), Q(RTSText(f.ControlRTS)));
    ini.WriteString(s, QStringLiteral("FlowControl.ControlDTR"), Q(DTRText(f.ControlDTR)));
    ini.WriteString(s, QStringLiteral("FlowControl.DSRSensitivity"), Yes(f.DSRSensitivity));
    ini.WriteString(s, QStringLiteral("FlowControl.OutCTSFlow"), Yes(f.OutCTSFlow));
    ini.WriteString(s, QStringLiteral("FlowControl.OutDSRFlow"), Yes(f.OutDSRFlow));
    ini.WriteString(s, QStringLiteral("FlowControl.TxContinueOnXoff"), Yes(f.TxContinueOnXoff));
    ini.WriteString(s, QStringLiteral("FlowControl.XonXoffIn"), Yes(f.XonXoffIn));
    ini.WriteString(s, QStringLiteral("FlowControl.XonXoffOut"), Yes(f.XonXoffOut));
    ini.WriteString(s, QStringLiteral("FlowControl.XoffChar"), CharText(f.XoffChar));
    ini.WriteString(s, QStringLiteral("FlowControl.XonChar"), CharText(f.XonChar));
  }
}

// Every key's default is the current value, so a missing key changes nothing.
void TCustomComPort::LoadFromIni(const TMemIniFile& ini) {
  const QString s = Section();
  auto str = [&](const char* key, const QString& current) {
    return ini.ReadString(s, QString::fromLatin1(key), current);
  };
  auto yes = [&](const char* key, bool current) { return BoolFromText(str(key, Yes(current))); };
  auto num = [&](const char* key, int current) { return ini.ReadInteger(s, QString::fromLatin1(key), current); };
  auto chr = [&](const char* key, char current) { return CharFromText(str(key, CharText(current))); };
  if (StoredGroups & sgBasic) {
    SetPort(str("Port", Q(port_)).toStdString());
    SetBaudRate(BaudRateFromText(str("BaudRate", Q(BaudRateText(baudRate_))).toStdString()));
    if (baudRate_ == brCustom) SetCustomBaudRate(num("CustomBaudRate", 9600));
    SetStopBits(StopBitsFromText(str("StopBits", Q(StopBitsText(stopBits_))).toStdString()));
    SetDataBits(DataBitsFromText(str("DataBits", Q(DataBitsText(dataBits_))).toStdString()));
    parity_.Set(&TComParity::Bits, ParityFromText(str("Parity", Q(ParityText(parity_.Bits))).toStdString()));
    flowControl_.SetFlowControl(
        FlowControlFromText(str("FlowControl", Q(FlowControlText(flowControl_.FlowControl()))).toStdString()));
  }
  if (StoredGroups & sgMisc) {
    SetEventChar(chr("EventChar", eventChar_));
    SetDiscardNull(yes("DiscardNull", discardNull_));
  }
  if (StoredGroups & sgParity) {
    parity_.Set(&TComParity::Check, yes("Parity.Check", parity_.Check));
    parity_.Set(&TComParity::Replace, yes("Parity.Replace", parity_.Replace));
    parity_.Set(&TComParity::ReplaceChar, chr("Parity.ReplaceChar", parity_.ReplaceChar));
  }
  if (StoredGroups & sgBuffer) {
    buffer_.SetOutputSize(num("Buffer.OutputSize", buffer_.OutputSize()));
    buffer_.SetInputSize(num("Buffer.InputSize", buffer_.InputSize()));
  }
  if (StoredGroups & sgTimeouts) {
    TComTimeouts& t = timeouts_;
    t.ReadInterval = num("Timeouts.ReadInterval", t.ReadInterval);
    t.ReadTotalConstant = num("Timeouts.ReadTotalConstant", t.ReadTotalConstant);
    t.ReadTotalMultiplier = num("Timeouts.ReadTotalMultiplier", t.ReadTotalMultiplier);
    t.WriteTotalConstant = num("Timeouts.WriteTotalConstant", t.WriteTotalConstant);
    t.WriteTotalMultiplier = num("Timeouts.WriteTotalMultiplier", t.WriteTotalMultiplier);
  }
  if (StoredGroups & sgFlowControl) {
    TComFlowControl& f = flowControl_;
    f.Set(&TComFlowControl::ControlRTS, RTSFromText(str("FlowControl.ControlRTS", Q(RTSText(f.ControlRTS))).toStdString()));
    f.Set(&TComFlowControl::ControlDTR, DTRFromText(str("FlowControl.ControlDTR", Q(DTRText(f.ControlDTR))).toStdString()));
    f.Set(&TComFlowControl::DSRSensitivity, yes("FlowControl.DSRSensitivity", f.DSRSensitivity));
    f.Set(&TComFlowControl::OutCTSFlow, yes("FlowControl.OutCTSFlow", f.OutCTSFlow));
    f.Set(&TComFlowControl::OutDSRFlow, yes("FlowControl.OutDSRFlow", f.OutDSRFlow));
    f.Set(&TComFlowControl::TxContinueOnXoff, yes("FlowControl.TxContinueOnXoff", f.TxContinueOnXoff));
    f.Set(&TComFlowControl::XonXoffIn, yes("FlowControl.XonXoffIn", f.XonXoffIn));
    f.Set(&TComFlowControl::XonXoffOut, yes("FlowControl.XonXoffOut", f.XonXoffOut));
    f.Set(&TComFlowControl::XoffChar, chr("FlowControl.XoffChar", f.XoffChar));
    f.Set(&TComFlowControl::XonChar, chr("FlowControl.XonChar", f.XonChar));
  }
}
