#include "serial/CustomComPort.h"

#include <algorithm>
#include <cerrno>

#include "platform/guard.h"
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

}  // namespace

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

void TCustomComPort::RegisterLink(TComLink* link) {
  if (!link || std::find(links_.begin(), links_.end(), link) != links_.end()) throw EComPort(18);
  links_.push_back(link);
}

void TCustomComPort::UnregisterLink(TComLink* link) {
  const auto it = std::find(links_.begin(), links_.end(), link);
  if (it == links_.end()) throw EComPort(18);
  links_.erase(it);
}
