#include "serial/SerComPort.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QThread>

#include "platform/exepath.h"
#include "platform/guard.h"
#include "platform/prompter.h"
#include "serial/ComSelectForm.h"
#include "serial/SerErrorCodes.h"
#include "serial/SerExceptions.h"
#include "serial/TermiosDevice.h"

namespace {

const QEvent::Type kAvailEvent = static_cast<QEvent::Type>(QEvent::registerEventType());
const QEvent::Type kFailureEvent = static_cast<QEvent::Type>(QEvent::registerEventType());
const QEvent::Type kDeferredCloseEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

// One event per delivery; the generation tells events of an earlier opening apart.
class TPortEvent final : public QEvent {
 public:
  TPortEvent(QEvent::Type type, unsigned generation, int code)
      : QEvent(type), Generation(generation), Code(code) {}
  unsigned Generation;
  int Code;
};

bool OnGuiThread() {
  const QCoreApplication* app = QCoreApplication::instance();
  return app && QThread::currentThread() == app->thread();
}

std::string StoredPath(const QString& name) { return ResolveStoredPath(name).toLocal8Bit().toStdString(); }

}  // namespace

std::string ComPortDeviceName(int comNumber) { return "/dev/ttyS" + std::to_string(comNumber - 1); }

TSerComPort::TSerComPort(QObject* owner) : QObject(owner) {}

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

// A closed port opens itself on first use when AutoOpen is on, but only on the GUI thread.
std::shared_ptr<TSerDispatcher> TSerComPort::GetDispatcher() {
  auto d = Dispatcher();
  if (!d && state_ != psOpen && autoOpen_ && OnGuiThread()) {
    SetOpen(true);
    d = Dispatcher();
  }
  return d;
}

std::shared_ptr<TSerDispatcher> TSerComPort::RequireDispatcher() {
  auto d = GetDispatcher();
  if (!d) CheckException(SerErr::CommNotOpen);
  return d;
}

void TSerComPort::ApplyLine() {
  if (state_ != psOpen) return;
  CheckException(Dispatcher()->SetLine(baud_, parity_, stopBits_, dataBits_));
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
  if (state_ == psOpen && CheckException(Dispatcher()->SetDTR(on)) == 1) return;
  dtr_ = on;
}

void TSerComPort::SetRTS(bool on) {
  if (on == rts_ && !force_) return;
  if (state_ == psOpen && CheckException(Dispatcher()->SetRTS(on)) == 1) return;
  rts_ = on;
}

void TSerComPort::ApplyFlow() {
  if (state_ != psOpen) return;
  const bool hardware = hwFlow_ & (THWFlow::hwfUseRTS | THWFlow::hwfRequireCTS);
  CheckException(Dispatcher()->SetFlowControl(hardware, swFlow_ == swfTransmit || swFlow_ == swfBoth,
                                              swFlow_ == swfReceive || swFlow_ == swfBoth, xonChar_, xoffChar_));
}

void TSerComPort::SetHWFlowOptions(int options) {
  if (options == hwFlow_ && !force_) return;
  hwFlow_ = options;
  ApplyFlow();
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

void TSerComPort::SetTraceSize(unsigned size) {
  traceSize_ = std::min<unsigned>(size, TSerTrace::kMaxSize);
  if (state_ == psOpen && (tracing_ == tlOn || tracing_ == tlPause)) Dispatcher()->Trace().Start(traceSize_);
}

void TSerComPort::SetLogSize(unsigned size) {
  logSize_ = std::min<unsigned>(size, TSerDispatchLog::kMaxSize);
  if (state_ == psOpen && (logging_ == tlOn || logging_ == tlPause))
    Dispatcher()->Log().Start(logSize_, DevicePath());
}

// The trace's states: on, paused, or off; the other values are actions that end in one of those.
void TSerComPort::ApplyTrace(TTraceLogState state) {
  TSerTrace& trace = Dispatcher()->Trace();
  const std::string file = StoredPath(traceName_);
  switch (state) {
    case tlOff: trace.Stop(); break;
    case tlOn:
      if (trace.Enabled()) trace.Resume(); else trace.Start(traceSize_);
      break;
    case tlPause: trace.Pause(); break;
    case tlClear: trace.Clear(); return;
    case tlDump:
    case tlAppend: {
      const int r = trace.Enabled() ? trace.WriteTo(file, state == tlAppend, traceHex_, traceAllHex_) : 0;
      trace.Stop();
      tracing_ = tlOff;
      CheckException(r);
      return;
    }
    case tlAppendAndContinue: {
      const int r = trace.WriteTo(file, true, traceHex_, traceAllHex_);
      trace.Clear();
      tracing_ = tlOn;
      CheckException(r);
      return;
    }
  }
  tracing_ = state;
}

void TSerComPort::ApplyLog(TTraceLogState state) {
  TSerDispatchLog& log = Dispatcher()->Log();
  const std::string file = StoredPath(logName_);
  switch (state) {
    case tlOff: log.Stop(); break;
    case tlOn:
      if (log.Enabled()) log.Resume(); else log.Start(logSize_, DevicePath());
      break;
    case tlPause: log.Pause(); break;
    case tlClear: log.Clear(); return;
    case tlDump:
    case tlAppend: {
      const int r = log.Enabled() ? log.WriteTo(file, state == tlAppend, logHex_) : 0;
      log.Stop();
      logging_ = tlOff;
      CheckException(r);
      return;
    }
    case tlAppendAndContinue: {
      const int r = log.WriteTo(file, true, logHex_);
      log.Clear();
      logging_ = tlOn;
      CheckException(r);
      return;
    }
  }
  logging_ = state;
}

void TSerComPort::SetTracing(TTraceLogState state) {
  if (state_ != psOpen) {
    tracing_ = state > tlOn ? tlOff : state;
    return;
  }
  if (state == tracing_ && !force_) return;
  ApplyTrace(state);
}

void TSerComPort::SetLogging(TTraceLogState state) {
  if (state_ != psOpen) {
    logging_ = state > tlOn ? tlOff : state;
    return;
  }
  if (state == logging_ && !force_) return;
  ApplyLog(state);
}

void TSerComPort::SetOnTriggerAvail(TTriggerAvailEvent handler) {
  onTriggerAvail_ = std::move(handler);
  UpdateHandlerState();
}

void TSerComPort::UpdateHandlerState() {
  if (auto d = Dispatcher()) d->SetPortHandlerInstalled(static_cast<bool>(onTriggerAvail_));
}

void TSerComPort::SetOpen(bool open) {
  if (open == open_) return;
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

void TSerComPort::ValidateComNumber() {
  if (!deviceName_.empty() || comNumber_ != 0) return;
  if (!promptForPort_) CheckException(SerErr::NoPortSelected);
  TComSelectForm form;
  if (Prompter().ExecDialog(form) != mrOk || form.SelectedDevice().empty()) CheckException(SerErr::NoPortSelected);
  deviceName_ = form.SelectedDevice();
}

void TSerComPort::PostEvent(int type, unsigned generation, int code) {
  QCoreApplication::postEvent(this, new TPortEvent(static_cast<QEvent::Type>(type), generation, code));
}

void TSerComPort::InitPort() {
  ValidateComNumber();
  const unsigned generation = ++generation_;
  TSerDispatcherCallbacks callbacks;
  callbacks.AvailReady = [this, generation] { PostEvent(kAvailEvent, generation); };
  callbacks.Failed = [this, generation](int code) { PostEvent(kFailureEvent, generation, code); };
  auto d = std::make_shared<TSerDispatcher>(
      deviceFactory_ ? deviceFactory_() : std::make_unique<TTermiosDevice>(), std::move(callbacks));
  const int flags = (dtr_ ? SerLineFlag::DTR : 0) | (rts_ ? SerLineFlag::RTS : 0) | (hwFlow_ << 4);
  int result = d->InitPort(DevicePath(), baud_, flags, outSize_, inSize_, stopBits_, dataBits_, parity_);
  if (result == SerErr::FileNotFound || result == SerErr::PathNotFound) result = SerErr::BadId;
  CheckException(result);
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
    force_ = false;
  } catch (...) {
    force_ = false;
    open_ = false;
    state_ = psClosed;
    {
      std::lock_guard lock(dispatcherLock_);
      dispatcher_.reset();
    }
    throw;
  }
  open_ = true;
  if (OnPortOpen) OnPortOpen(this);
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
  d->DonePort();
  // A close from inside a delivery leaves the dispatcher to the delivery's end.
  if (d->InAvailMessage())
    PostEvent(kDeferredCloseEvent, generation_);
  else
    FinishClose();
  if (OnPortClose) OnPortClose(this);
  if (!dumpError.empty()) ShowException(std::runtime_error(dumpError));
}

void TSerComPort::FinishClose() {
  {
    std::lock_guard lock(dispatcherLock_);
    dispatcher_.reset();
  }
  state_ = psClosed;
  if (openPending_) {
    openPending_ = false;
    InitPort();
  } else {
    open_ = false;
  }
}

void TSerComPort::PutString(const std::string& s) {
  if (state_ == psClosing) return;
  auto d = GetDispatcher();
  if (!d) CheckException(SerErr::CommNotOpen);
  CheckException(d->PutBlock(reinterpret_cast<const uint8_t*>(s.data()), s.size()));
}

char TSerComPort::GetChar() {
  if (state_ == psClosing) return '\0';
  auto d = RequireDispatcher();
  uint8_t byte = 0;
  CheckException(d->GetChar(byte));
  return static_cast<char>(byte);
}

std::string TSerComPort::GetBlock(int count) {
  if (state_ == psClosing || count <= 0) return std::string();
  auto d = RequireDispatcher();
  std::string bytes(static_cast<size_t>(count), '\0');
  CheckException(d->GetBlock(reinterpret_cast<uint8_t*>(bytes.data()), count));
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

void TSerComPort::customEvent(QEvent* event) {
  const auto* e = dynamic_cast<const TPortEvent*>(event);
  if (!e) return;
  try {
    if (e->type() == kAvailEvent)
      HandleAvail(e->Generation);
    else if (e->type() == kFailureEvent)
      HandleFailure(e->Generation, e->Code);
    else if (e->type() == kDeferredCloseEvent)
      HandleDeferredClose(e->Generation);
  } catch (const std::exception& ex) {
    ShowException(ex);
  }
}

void TSerComPort::HandleAvail(unsigned generation) {
  auto d = Dispatcher();
  if (!d || generation != generation_) return;
  QPointer<TSerComPort> self(this);
  d->DeliverAvail([this, &self](int count) {
    if (!onTriggerAvail_) return;
    // A handler's failure is shown here; the delivery still ends normally.
    try {
      auto handler = onTriggerAvail_;
      handler(this, count);
    } catch (const std::exception& ex) {
      if (self) ShowException(ex);
    }
  });
}

// A device that hung up or failed ends the port as a close does; a failure other
// than the device's read or write is also shown.
void TSerComPort::HandleFailure(unsigned generation, int code) {
  if (generation != generation_ || state_ != psOpen) return;
  std::string message;
  if (code != SerErr::ReadFault && code != SerErr::WriteFault && code != SerErr::InvalidHandle) {
    try {
      CheckException(code);
    } catch (const std::exception& e) {
      message = e.what();
    }
  }
  SetOpen(false);
  if (!message.empty()) ShowException(std::runtime_error(message));
}

void TSerComPort::HandleDeferredClose(unsigned generation) {
  auto d = Dispatcher();
  if (generation != generation_ || state_ != psClosing || !d) return;
  if (d->InAvailMessage()) {
    PostEvent(kDeferredCloseEvent, generation);
    return;
  }
  FinishClose();
}
