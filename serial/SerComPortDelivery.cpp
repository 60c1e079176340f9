// How the port's messages reach the program: the events that the dispatcher's
// threads post, their delivery on the GUI thread to DoTrigger and the Trigger
// operation of each kind, the trigger events, and the triggers themselves.
#include <QCoreApplication>
#include <QEvent>
#include <QPointer>

#include "platform/guard.h"
#include "serial/SerComPortDelivery.h"
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

TSerComPortDelivery::TSerComPortDelivery(QObject* owner) : QObject(owner) {}

TSerDispatcherCallbacks TSerComPortDelivery::DeliveryCallbacks(unsigned generation) {
  TSerDispatcherCallbacks callbacks;
  callbacks.DeliveryReady = [this, generation] { PostEvent(kDeliverEvent, generation); };
  callbacks.Failed = [this, generation](int code) { PostEvent(kFailureEvent, generation, code); };
  return callbacks;
}

void TSerComPortDelivery::PostEvent(int type, unsigned generation, int code) {
  auto* event = new TPortEvent(static_cast<QEvent::Type>(type), generation, code);
  eventsPosted_.fetch_add(1, std::memory_order_release);
  QCoreApplication::postEvent(this, event);
}

void TSerComPortDelivery::AssignTriggerEvents(const TSerComPortDelivery& source) {
  SetOnTrigger(source.onTrigger_);
  SetOnTriggerAvail(source.onTriggerAvail_);
  SetOnTriggerData(source.onTriggerData_);
  SetOnTriggerStatus(source.onTriggerStatus_);
  SetOnTriggerTimer(source.onTriggerTimer_);
}

void TSerComPortDelivery::SetOnTrigger(TTriggerEvent handler) { SetEvent(onTrigger_, std::move(handler)); }
void TSerComPortDelivery::SetOnTriggerAvail(TTriggerAvailEvent handler) {
  SetEvent(onTriggerAvail_, std::move(handler));
}
void TSerComPortDelivery::SetOnTriggerData(TTriggerHandleEvent handler) {
  SetEvent(onTriggerData_, std::move(handler));
}
void TSerComPortDelivery::SetOnTriggerStatus(TTriggerHandleEvent handler) {
  SetEvent(onTriggerStatus_, std::move(handler));
}
void TSerComPortDelivery::SetOnTriggerTimer(TTriggerHandleEvent handler) {
  SetEvent(onTriggerTimer_, std::move(handler));
}
void TSerComPortDelivery::SetOnTriggerLineError(TTriggerLineErrorEvent handler) {
  SetEvent(onTriggerLineError_, std::move(handler));
}
void TSerComPortDelivery::SetOnTriggerModemStatus(TNotifyEvent handler) {
  SetEvent(onTriggerModemStatus_, std::move(handler));
}
void TSerComPortDelivery::SetOnTriggerOutbuffFree(TNotifyEvent handler) {
  SetEvent(onTriggerOutbuffFree_, std::move(handler));
}
void TSerComPortDelivery::SetOnTriggerOutbuffUsed(TNotifyEvent handler) {
  SetEvent(onTriggerOutbuffUsed_, std::move(handler));
}
void TSerComPortDelivery::SetOnTriggerOutSent(TNotifyEvent handler) { SetEvent(onTriggerOutSent_, std::move(handler)); }

// Without any trigger event no message reaches the port.
void TSerComPortDelivery::UpdateHandlerState() {
  auto d = Dispatcher();
  if (!d) return;
  d->SetPortHandlerInstalled(onTrigger_ || onTriggerAvail_ || onTriggerData_ || onTriggerStatus_ || onTriggerTimer_ ||
                             onTriggerLineError_ || onTriggerModemStatus_ || onTriggerOutbuffFree_ ||
                             onTriggerOutbuffUsed_ || onTriggerOutSent_);
}

int TSerComPortDelivery::AddDataTrigger(const std::string& pattern, bool ignoreCase) {
  auto d = RequireDispatcher();
  return d ? Check(d->AddDataTrigger(pattern, ignoreCase)) : SerErr::CommNotOpen;
}

int TSerComPortDelivery::AddTimerTrigger() {
  auto d = RequireDispatcher();
  return d ? Check(d->AddTimerTrigger()) : SerErr::CommNotOpen;
}

void TSerComPortDelivery::SetTimerTrigger(int handle, int ticks, bool activate) {
  if (auto d = RequireDispatcher()) Check(d->SetTimerTrigger(handle, ticks, activate));
}

int TSerComPortDelivery::AddStatusTrigger(int kind) {
  auto d = RequireDispatcher();
  return d ? Check(d->AddStatusTrigger(kind)) : SerErr::CommNotOpen;
}

void TSerComPortDelivery::SetStatusTrigger(int handle, int value, bool activate) {
  if (auto d = RequireDispatcher()) Check(d->SetStatusTrigger(handle, value, activate));
}

void TSerComPortDelivery::RemoveTrigger(int handle) {
  if (auto d = RequireDispatcher()) Check(d->RemoveTrigger(handle));
}

void TSerComPortDelivery::customEvent(QEvent* event) {
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

void TSerComPortDelivery::HandleDeliver(unsigned generation) {
  auto d = Dispatcher();
  if (!d || generation != generation_) return;
  QPointer<TSerComPortDelivery> self(this);
  d->Deliver([this, &self](const TTriggerMessage& m) {
    // A handler's failure is shown here; the delivery still ends normally.
    try {
      HandleMessage(m);
    } catch (const std::exception& ex) {
      if (self) ShowException(ex);
    }
  });
  if (self) FinishCloseAfterDelivery();
}

// Each message goes to DoTrigger first, then to the Trigger operation of its kind.
// Each of those copies its handler before calling it: a handler may replace itself.
void TSerComPortDelivery::HandleMessage(const TTriggerMessage& m) {
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
      const auto [error, lineBreak] = TakeLineError();
      return TriggerLineError(error, lineBreak);
    }
    case SerStatus::OutbuffFree: return TriggerOutbuffFree();
    case SerStatus::OutbuffUsed: return TriggerOutbuffUsed();
    case SerStatus::OutSent: return TriggerOutSent();
    default: return;
  }
}

void TSerComPortDelivery::DoTrigger(int msg, int triggerHandle, int data) {
  if (auto h = onTrigger_) h(&Port(), msg, triggerHandle, data);
}

void TSerComPortDelivery::TriggerAvail(int count) {
  if (auto h = onTriggerAvail_) h(&Port(), count);
}

void TSerComPortDelivery::TriggerData(int triggerHandle) {
  if (auto h = onTriggerData_) h(&Port(), triggerHandle);
}

void TSerComPortDelivery::TriggerStatus(int triggerHandle) {
  if (auto h = onTriggerStatus_) h(&Port(), triggerHandle);
}

void TSerComPortDelivery::TriggerTimer(int triggerHandle) {
  if (auto h = onTriggerTimer_) h(&Port(), triggerHandle);
}

void TSerComPortDelivery::TriggerLineError(int error, bool lineBreak) {
  if (auto h = onTriggerLineError_) h(&Port(), error, lineBreak);
}

void TSerComPortDelivery::TriggerModemStatus() {
  if (auto h = onTriggerModemStatus_) h(&Port());
}

void TSerComPortDelivery::TriggerOutbuffFree() {
  if (auto h = onTriggerOutbuffFree_) h(&Port());
}

void TSerComPortDelivery::TriggerOutbuffUsed() {
  if (auto h = onTriggerOutbuffUsed_) h(&Port());
}

void TSerComPortDelivery::TriggerOutSent() {
  if (auto h = onTriggerOutSent_) h(&Port());
}

// A device that hung up or failed ends the port as a close does, once every byte
// received before the failure has been handed over; a failure other than the
// device's read or write is also shown.
void TSerComPortDelivery::HandleFailure(unsigned generation, int code) {
  if (generation != generation_ || !PortOpen()) return;
  QPointer<TSerComPortDelivery> self(this);
  HandleDeliver(generation);
  if (!self || !PortOpen()) return;
  std::string message;
  if (code != SerErr::ReadFault && code != SerErr::WriteFault && code != SerErr::InvalidHandle) {
    try {
      CheckException(code);
    } catch (const std::exception& e) {
      message = e.what();
    }
  }
  CloseAfterFault();
  if (!message.empty()) ShowException(std::runtime_error(message));
}
