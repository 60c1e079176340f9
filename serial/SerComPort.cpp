#include "serial/SerComPort.h"

#include <QCoreApplication>
#include <QThread>

#include "platform/guard.h"
#include "platform/prompter.h"
#include "serial/ComSelectForm.h"
#include "serial/OpenRefusal.h"
#include "serial/SerErrorCodes.h"
#include "serial/SerExceptions.h"
#include "serial/TermiosDevice.h"

namespace {

bool OnGuiThread() {
  const QCoreApplication* app = QCoreApplication::instance();
  return app && QThread::currentThread() == app->thread();
}

}  // namespace

std::string ComPortDeviceName(int comNumber) { return "/dev/ttyS" + std::to_string(comNumber - 1); }

TSerComPort::TSerComPort(QObject* owner) : TSerComPortDelivery(owner) {}

TSerComPort::~TSerComPort() {
  if (state_ == psOpen) {
    try {
      DonePort();
    } catch (const std::exception&) {
      // Nothing to tell anyone about a port that is going away.
    }
  }
  std::lock_guard lock(dispatcherLock_);
  dispatcher_.reset();
}

std::string TSerComPort::DevicePath() const {
  return deviceName_.empty() ? ComPortDeviceName(comNumber_) : deviceName_;
}

void TSerComPort::Reopen() {
  const TTraceLogState tracing = tracing_, logging = logging_;
  SetOpen(false);
  tracing_ = tracing;
  logging_ = logging;
  SetOpen(true);
}

void TSerComPort::Assign(const TSerComPort& source) {
  if (&source == this) return;
  SetOpen(false);
  users_ = source.users_;
  nextUser_ = source.nextUser_;
  deviceLayer_ = source.deviceLayer_;
  deviceName_ = source.deviceName_;
  comNumber_ = source.comNumber_;
  baud_ = source.baud_;
  parity_ = source.parity_;
  dataBits_ = source.dataBits_;
  stopBits_ = source.stopBits_;
  inSize_ = source.inSize_;
  outSize_ = source.outSize_;
  promptForPort_ = source.promptForPort_;
  autoOpen_ = source.autoOpen_;
  dtr_ = source.dtr_;
  rts_ = source.rts_;
  hwFlow_ = source.hwFlow_;
  swFlow_ = source.swFlow_;
  xonChar_ = source.xonChar_;
  xoffChar_ = source.xoffChar_;
  bufferFull_ = source.bufferFull_;
  bufferResume_ = source.bufferResume_;
  AssignDiagnostics(source);
  useEventWord_ = source.useEventWord_;
  commNotificationLevel_ = source.commNotificationLevel_;
  rs485_ = source.rs485_;
  tapiMode_ = source.tapiMode_;
  deviceFactory_ = source.deviceFactory_;
  AssignTriggerEvents(source);
  OnPortOpen = source.OnPortOpen;
  OnPortClose = source.OnPortClose;
  if (auto d = source.Dispatcher()) savedTriggers_ = d->Triggers();
}

void TSerComPort::SetDeviceLayer(TDeviceLayer layer) {
  if (state_ == psOpen || layer != dlWin32) return;
  deviceLayer_ = layer;
}

void TSerComPort::SetDeviceName(const std::string& name) {
  if (name == deviceName_) return;
  deviceName_ = name;
  if (state_ == psOpen) Reopen();
}

void TSerComPort::SetComNumber(int n) {
  if (n == comNumber_) return;
  comNumber_ = n;
  if (state_ == psOpen && deviceName_.empty()) Reopen();
}

std::shared_ptr<TSerDispatcher> TSerComPort::Dispatcher() const {
  std::lock_guard lock(dispatcherLock_);
  return dispatcher_;
}

// A closed port opens itself on first use when AutoOpen is on, but only on the GUI
// thread and never while loading.
std::shared_ptr<TSerDispatcher> TSerComPort::GetDispatcher() {
  auto d = Dispatcher();
  if (!d && state_ != psOpen && autoOpen_ && !loading_ && OnGuiThread()) {
    SetOpen(true);
    d = Dispatcher();
  }
  return d;
}

std::shared_ptr<TSerDispatcher> TSerComPort::RequireDispatcher() {
  auto d = GetDispatcher();
  if (!d) Check(SerErr::CommNotOpen);
  return d;
}

int TSerComPort::Check(int code) const { return loading_ && code < 0 ? code : CheckException(code); }

std::shared_ptr<TSerDispatcher> TSerComPort::DiagnosticsDispatcher() {
  if (state_ == psClosing) return nullptr;
  return RequireDispatcher();
}

void TSerComPort::ApplyLine() {
  if (state_ != psOpen) return;
  Check(Dispatcher()->SetLine(baud_, parity_, stopBits_, dataBits_));
}

void TSerComPort::SetBaud(int baud) {
  if (baud == baud_) return;
  baud_ = baud;
  ApplyLine();
}

void TSerComPort::SetParity(TParity parity) {
  if (parity == parity_) return;
  parity_ = parity;
  ApplyLine();
}

void TSerComPort::SetDataBits(int bits) {
  if (bits == dataBits_) return;
  dataBits_ = bits;
  ApplyLine();
}

void TSerComPort::SetStopBits(int bits) {
  if (bits == stopBits_) return;
  stopBits_ = bits;
  ApplyLine();
}

void TSerComPort::SetDTR(bool on) {
  if (on == dtr_ && !force_) return;
  if (state_ == psOpen && Check(Dispatcher()->SetDTR(on)) == 1) return;
  dtr_ = on;
}

void TSerComPort::SetRTS(bool on) {
  if (on == rts_ && !force_) return;
  if (state_ == psOpen && Check(Dispatcher()->SetRTS(on)) == 1) return;
  rts_ = on;
}

// Handshaking holds the far end at BufferFull and resumes it at BufferResume:
// 90 % and 10 % of InSize for the lines, 75 % and 25 % for XON/XOFF.
void TSerComPort::ApplyFlow() {
  const bool receiveXon = swFlow_ == swfReceive || swFlow_ == swfBoth;
  if (hwFlow_ != 0 || receiveXon) {
    const int full = hwFlow_ != 0 ? 90 : 75, resume = hwFlow_ != 0 ? 10 : 25;
    if (bufferFull_ == 0 || bufferFull_ > inSize_) bufferFull_ = (inSize_ * full + 50) / 100;
    if (bufferResume_ == 0 || bufferResume_ > bufferFull_) bufferResume_ = (inSize_ * resume + 50) / 100;
  }
  if (state_ != psOpen) return;
  Check(Dispatcher()->SetFlowControl(hwFlow_ << 4, swFlow_ == swfTransmit || swFlow_ == swfBoth, receiveXon, xonChar_,
                                     xoffChar_));
}

void TSerComPort::SetHWFlowOptions(int options) {
  if (options == hwFlow_ && !force_) return;
  hwFlow_ = options;
  if (options & (THWFlow::hwfUseRTS | THWFlow::hwfRequireCTS)) rs485_ = false;
  ApplyFlow();
}

void TSerComPort::SetBufferFull(int level) {
  bufferFull_ = level;
  ApplyFlow();
}

void TSerComPort::SetBufferResume(int level) {
  bufferResume_ = level > bufferFull_ ? (bufferFull_ + 5) / 10 : level;
  ApplyFlow();
}

void TSerComPort::SetRS485Mode(bool on) {
  if (on == rs485_ && !force_) return;
  rs485_ = on;
  if (on) {
    hwFlow_ &= ~(THWFlow::hwfUseRTS | THWFlow::hwfRequireCTS);
    ApplyFlow();
    SetRTS(false);
  }
  if (state_ == psOpen) Check(Dispatcher()->SetRS485(on));
}

void TSerComPort::SetSWFlowOptions(TSWFlowOptions options) {
  if (options == swFlow_ && !force_) return;
  swFlow_ = options;
  if (options != swfNone) {
    xonChar_ = 17;
    xoffChar_ = 19;
  }
  ApplyFlow();
}

void TSerComPort::SetXOnChar(char c) {
  if (c == xonChar_ && !force_) return;
  xonChar_ = c;
  ApplyFlow();
}

void TSerComPort::SetXOffChar(char c) {
  if (c == xoffChar_ && !force_) return;
  xoffChar_ = c;
  ApplyFlow();
}

// A restart with the new size keeps a paused trace paused.
void TSerComPort::SetOpen(bool open) {
  if (open == open_) return;
  if (loading_) {
    open_ = open;
    openAfterLoad_ = open;
    return;
  }
  if (!open) {
    open_ = false;
    openPending_ = false;
    DonePort();
  } else if (state_ != psClosed) {
    openPending_ = true;
  } else {
    InitPort();
  }
}

void TSerComPort::Loaded() {
  loading_ = false;
  if (!openAfterLoad_) return;
  openAfterLoad_ = false;
  try {
    InitPort();
  } catch (const std::exception& e) {
    open_ = false;
    ShowException(e);
  }
}

void TSerComPort::ValidateComNumber() {
  if (!deviceName_.empty() || comNumber_ != 0) return;
  if (!promptForPort_) CheckException(SerErr::NoPortSelected);
  TComSelectForm form;
  if (Prompter().ExecDialog(form) != mrOk || form.SelectedDevice().empty()) CheckException(SerErr::NoPortSelected);
  deviceName_ = form.SelectedDevice();
}

void TSerComPort::InitPort() {
  if (tapiMode_ != tmOn) ValidateComNumber();
  if (deviceLayer_ != dlWin32) CheckException(SerErr::NullApi);
  // A telephony line hands over an open device; no line does so here.
  if (tapiMode_ == tmOn) CheckException(SerErr::NotOpenedByTapi);
  const unsigned generation = ++generation_;
  auto d = std::make_shared<TSerDispatcher>(deviceFactory_ ? deviceFactory_() : std::make_unique<TTermiosDevice>(),
                                            DeliveryCallbacks(generation));
  const int flags = (dtr_ ? SerLineFlag::DTR : 0) | (rts_ ? SerLineFlag::RTS : 0) | (hwFlow_ << 4);
  int result = d->InitPort(DevicePath(), baud_, flags, outSize_, inSize_, stopBits_, dataBits_, parity_);
  if (result == SerErr::FileNotFound || result == SerErr::PathNotFound) result = SerErr::BadId;
  CheckOpenResult(result, DevicePath());
  {
    std::lock_guard lock(dispatcherLock_);
    dispatcher_ = d;
  }
  state_ = psOpen;
  try {
    UpdateHandlerState();
    force_ = true;
    SetTracing(tracing_);
    SetLogging(logging_);
    SetHWFlowOptions(hwFlow_);
    SetSWFlowOptions(swFlow_);
    SetXOnChar(xonChar_);
    SetXOffChar(xoffChar_);
    d->SetAvailThreshold(availThreshold_);
    SetDTR(dtr_);
    SetRTS(rts_);
    SetRS485Mode(rs485_);
    d->SetPriorityBoost(threadBoost_);
    force_ = false;
    open_ = true;
    if (savedTriggers_) d->RestoreTriggers(*savedTriggers_);
    // A user or handler that fails here fails the open: the port closes again.
    Notify(SerMsg::PortOpened);
    if (OnPortOpen) OnPortOpen(this);
  } catch (...) {
    force_ = false;
    open_ = false;
    state_ = psClosed;
    {
      std::lock_guard lock(dispatcherLock_);
      dispatcher_.reset();
    }
    d->DonePort();
    throw;
  }
  savedTriggers_.reset();
}

void TSerComPort::Notify(int message) {
  const auto users = users_;
  for (const auto& [id, user] : users) user(this, message);
}

int TSerComPort::RegisterUser(TPortUser user) {
  users_.emplace_back(nextUser_, std::move(user));
  return nextUser_++;
}

void TSerComPort::DeregisterUser(int id) {
  std::erase_if(users_, [id](const auto& entry) { return entry.first == id; });
}

void TSerComPort::DonePort() {
  if (state_ != psOpen) return;
  auto d = Dispatcher();
  std::string dumpError;
  for (auto apply : {&TSerComPort::ApplyTrace, &TSerComPort::ApplyLog}) {
    try {
      (this->*apply)(tlDump);
    } catch (const std::exception& e) {
      dumpError = e.what();
    }
  }
  state_ = psClosing;
  Notify(SerMsg::PortClosing);
  savedTriggers_ = d->Triggers();
  d->DonePort();
  // A close from inside a delivery leaves the dispatcher to the delivery's end.
  const bool deferred = d->InAvailMessage();
  if (deferred)
    closeAfterDelivery_ = true;
  else
    FinishClose();
  Notify(SerMsg::PortClosed);
  if (OnPortClose) OnPortClose(this);
  // An open asked for while closing follows the notices of the close.
  if (!deferred) OpenIfPending();
  if (!dumpError.empty()) ShowException(std::runtime_error(dumpError));
}

void TSerComPort::FinishClose() {
  closeAfterDelivery_ = false;
  {
    std::lock_guard lock(dispatcherLock_);
    dispatcher_.reset();
  }
  state_ = psClosed;
  if (!openPending_) open_ = false;
}

void TSerComPort::FinishCloseAfterDelivery() {
  if (!closeAfterDelivery_ || state_ != psClosing) return;
  FinishClose();
  OpenIfPending();
}

void TSerComPort::OpenIfPending() {
  if (!openPending_ || state_ != psClosed) return;
  openPending_ = false;
  InitPort();
}

void TSerComPort::PutString(const std::string& s) {
  if (state_ == psClosing) return;
  auto d = GetDispatcher();
  if (!d) {
    Check(SerErr::CommNotOpen);
    return;
  }
  const int result = d->PutBlock(reinterpret_cast<const uint8_t*>(s.data()), s.size());
  // A device that failed closes the port as soon as the GUI side hears of it;
  // until then the port is still open, and what is sent goes nowhere.
  if (result == SerErr::CommNotOpen && d->Failed()) return;
  Check(result);
}

char TSerComPort::GetChar() {
  if (state_ == psClosing) return '\0';
  auto d = RequireDispatcher();
  if (!d) return '\0';
  uint8_t byte = 0;
  Check(d->GetChar(byte));
  return static_cast<char>(byte);
}

std::string TSerComPort::GetBlock(int count) {
  if (state_ == psClosing || count <= 0) return std::string();
  auto d = RequireDispatcher();
  if (!d) return std::string();
  std::string bytes(static_cast<size_t>(count), '\0');
  Check(d->GetBlock(reinterpret_cast<uint8_t*>(bytes.data()), count));
  return bytes;
}

int TSerComPort::InBuffUsed() {
  auto d = Dispatcher();
  return d ? d->InBuffUsed() : 0;
}

int TSerComPort::OutBuffUsed() {
  auto d = Dispatcher();
  return d ? d->OutputUsed() : 0;
}

int TSerComPort::LineError() {
  if (state_ == psClosing) return 0;
  auto d = RequireDispatcher();
  return d ? d->LineError() : 0;
}

bool TSerComPort::LineBreak() {
  if (state_ == psClosing) return false;
  auto d = RequireDispatcher();
  return d && d->LineBreak();
}

int TSerComPort::ModemStatus() {
  if (state_ == psClosing) return 0;
  auto d = RequireDispatcher();
  return d ? d->ModemStatus() : 0;
}

void TSerComPort::ProcessComm() {
  if (state_ == psClosing) return;
  if (auto d = RequireDispatcher()) Check(d->Yield());
}
