// How the port's messages reach the program: the events that the dispatcher's
// threads post, their delivery on the GUI thread to DoTrigger and the Trigger
// operation of each kind, the trigger events, and the triggers themselves.
#include <QCoreApplication>
#include <QEvent>
#include <QPointer>

#include "platform/guard.h"
#include "serial/SerComPort.h"
#include "serial/SerErrorCodes.h"
#include "serial/SerExceptions.h"

namespace {

const QEvent::Type kDeliverEvent = static_cast<QEvent::Type>(QEvent::registerEventType());
const QEvent::Type kFailureEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

// One event per delivery; the generation tells events of an earlier opening apart.
class TPortEvent final : public QEvent {
 public:
  TPortEvent(QEvent::Type type, unsigned generation, int code)
      : QEvent(type), Generation(generation), Code(code) {}
  unsigned Generation;
  int Code;
};

}  // namespace

TSerDispatcherCallbacks TSerComPort::DeliveryCallbacks(unsigned generation) {
  TSerDispatcherCallbacks callbacks;
  callbacks.DeliveryReady = [this, generation] { PostEvent(kDeliverEvent, generation); };
  callbacks.Failed = [this, generation](int code) { PostEvent(kFailureEvent, generation, code); };
  return callbacks;
}

void TSerComPort::PostEvent(int type, unsigned generation, int code) {
  auto* event = new TPortEvent(static_cast<QEvent::Type>(type), generation, code);
  eventsPosted_.fetch_add(1, std::memory_order_release);
  QCoreApplication::postEvent(this, event);
}

void TSerComPort::SetOnTrigger(TTriggerEvent handler) { SetEvent(onTrigger_, std::move(handler)); }
void TSerComPort::SetOnTriggerAvail(TTriggerAvailEvent handler) { SetEvent(onTriggerAvail_, std::move(handler)); }
void TSerComPort::SetOnTriggerData(TTriggerHandleEvent handler) { SetEvent(onTriggerData_, std::move(handler)); }
void TSerComPort::SetOnTriggerStatus(TTriggerHandleEvent handler) { SetEvent(onTriggerStatus_, std::move(handler)); }
void TSerComPort::SetOnTriggerTimer(TTriggerHandleEvent handler) { SetEvent(onTriggerTimer_, std::move(handler)); }
void TSerComPort::SetOnTriggerLineError(TTriggerLineErrorEvent handler) {
  SetEvent(onTriggerLineError_, std::move(handler));
}
void TSerComPort::SetOnTriggerModemStatus(TNotifyEvent handler) { SetEvent(onTriggerModemStatus_, std::move(handler)); }
void TSerComPort::SetOnTriggerOutbuffFree(TNotifyEvent handler) { SetEvent(onTriggerOutbuffFree_, std::move(handler)); }
void TSerComPort::SetOnTriggerOutbuffUsed(TNotifyEvent handler) { SetEvent(onTriggerOutbuffUsed_, std::move(handler)); }
void TSerComPort::SetOnTriggerOutSent(TNotifyEvent handler) { SetEvent(onTriggerOutSent_, std::move(handler)); }

// Without any trigger event no message reaches the port.
void TSerComPort::UpdateHandlerState() {
  auto d = Dispatcher();
  if (!d) return;
  d->SetPortHandlerInstalled(onTrigger_ || onTriggerAvail_ || onTriggerData_ || onTriggerStatus_ || onTriggerTimer_ ||
                             onTriggerLineError_ || onTriggerModemStatus_ || onTriggerOutbuffFree_ ||
                             onTriggerOutbuffUsed_ || onTriggerOutSent_);
}

int TSerComPort::AddDataTrigger(const std::string& pattern, bool ignoreCase) {
  auto d = RequireDispatcher();
  return d ? Check(d->AddDataTrigger(pattern, ignoreCase)) : SerErr::CommNotOpen;
}

int TSerComPort::AddTimerTrigger() {
  auto d = RequireDispatcher();
  return d ? Check(d->AddTimerTrigger()) : SerErr::CommNotOpen;
}

void TSerComPort::SetTimerTrigger(int handle, int ticks, bool activate) {
  if (auto d = RequireDispatcher()) Check(d->SetTimerTrigger(handle, ticks, activate));
}

int TSerComPort::AddStatusTrigger(int kind) {
  auto d = RequireDispatcher();
  return d ? Check(d->AddStatusTrigger(kind)) : SerErr::CommNotOpen;
}

void TSerComPort::SetStatusTrigger(int handle, int value, bool activate) {
  if (auto d = RequireDispatcher()) Check(d->SetStatusTrigger(handle, value, activate));
}

void TSerComPort::RemoveTrigger(int handle) {
  if (auto d = RequireDispatcher()) Check(d->RemoveTrigger(handle));
}

void TSerComPort::customEvent(QEvent* event) {
  eventsPosted_.load(std::memory_order_acquire);
  const auto* e = dynamic_cast<const TPortEvent*>(event);
  if (!e) return;
  try {
    if (e->type() == kDeliverEvent)
      HandleDeliver(e->Generation);
    else if (e->type() == kFailureEvent)
      HandleFailure(e->Generation, e->Code);
  } catch (const std::exception& ex) {
    ShowException(ex);
  }
}

void TSerComPort::HandleDeliver(unsigned generation) {
  auto d = Dispatcher();
  if (!d || generation != generation_) return;
  QPointer<TSerComPort> self(this);
  d->Deliver([this, &self](const TTriggerMessage& m) {
    // A handler's failure is shown here; the delivery still ends normally.
    try {
      HandleMessage(m);
    } catch (const std::exception& ex) {
      if (self) ShowException(ex);
    }
  });
  if (self && closeAfterDelivery_ && state_ == psClosing) {
    FinishClose();
    OpenIfPending();
  }
}

// Each message goes to DoTrigger first, then to the Trigger operation of its kind.
// Each of those copies its handler before calling it: a handler may replace itself.
void TSerComPort::HandleMessage(const TTriggerMessage& m) {
  DoTrigger(m.Msg, m.WParam, m.Msg == SerMsg::Avail ? m.WParam : m.Value);
  switch (m.Msg) {
    case SerMsg::Avail: return TriggerAvail(m.WParam);
    case SerMsg::Data: return TriggerData(m.WParam);
    case SerMsg::Timer: return TriggerTimer(m.WParam);
    default: break;
  }
  TriggerStatus(m.WParam);
  switch (m.WParam & SerStatus::KindMask) {
    case SerStatus::ModemStatus: return TriggerModemStatus();
    case SerStatus::LineError: {
      const int error = LineError();
      return TriggerLineError(error, LineBreak());
    }
    case SerStatus::OutbuffFree: return TriggerOutbuffFree();
    case SerStatus::OutbuffUsed: return TriggerOutbuffUsed();
    case SerStatus::OutSent: return TriggerOutSent();
    default: return;
  }
}

void TSerComPort::DoTrigger(int msg, int triggerHandle, int data) {
  if (auto h = onTrigger_) h(this, msg, triggerHandle, data);
}

void TSerComPort::TriggerAvail(int count) {
  if (auto h = onTriggerAvail_) h(this, count);
}

void TSerComPort::TriggerData(int triggerHandle) {
  if (auto h = onTriggerData_) h(this, triggerHandle);
}

void TSerComPort::TriggerStatus(int triggerHandle) {
  if (auto h = onTriggerStatus_) h(this, triggerHandle);
}

void TSerComPort::TriggerTimer(int triggerHandle) {
  if (auto h = onTriggerTimer_) h(this, triggerHandle);
}

void TSerComPort::TriggerLineError(int error, bool lineBreak) {
  if (auto h = onTriggerLineError_) h(this, error, lineBreak);
}

void TSerComPort::TriggerModemStatus() {
  if (auto h = onTriggerModemStatus_) h(this);
}

void TSerComPort::TriggerOutbuffFree() {
  if (auto h = onTriggerOutbuffFree_) h(this);
}

void TSerComPort::TriggerOutbuffUsed() {
  if (auto h = onTriggerOutbuffUsed_) h(this);
}

void TSerComPort::TriggerOutSent() {
  if (auto h = onTriggerOutSent_) h(this);
}

// A device that hung up or failed ends the port as a close does, once every byte
// received before the failure has been handed over; a failure other than the
// device's read or write is also shown.
void TSerComPort::HandleFailure(unsigned generation, int code) {
  if (generation != generation_ || state_ != psOpen) return;
  QPointer<TSerComPort> self(this);
  HandleDeliver(generation);
  if (!self || state_ != psOpen) return;
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
