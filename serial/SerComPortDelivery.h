#pragma once
// How the serial port's messages reach the program: the events the dispatcher's
// threads post, their delivery to DoTrigger and the Trigger operation of each
// kind, the trigger events, and the triggers themselves. The port derives from
// this part and tells it, through the hooks below, about its dispatcher and its close.
//
// Locking: the dispatcher's threads only post events; everything else here, the
// handlers included, runs on the GUI thread. Qt hands the events over inside its
// own library, where the thread sanitizer cannot follow, so eventsPosted_'s
// release on posting and acquire on delivery state the hand-over in our code.
#include <QObject>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "serial/SerDispatcher.h"

class TSerComPort;

class TSerComPortDelivery : public QObject {
  Q_OBJECT
 public:
  using TTriggerEvent = std::function<void(TSerComPort* cp, int msg, int triggerHandle, int data)>;
  using TTriggerAvailEvent = std::function<void(TSerComPort* cp, int count)>;
  using TTriggerHandleEvent = std::function<void(TSerComPort* cp, int triggerHandle)>;
  using TTriggerLineErrorEvent = std::function<void(TSerComPort* cp, int error, bool lineBreak)>;
  using TNotifyEvent = std::function<void(TSerComPort* sender)>;

  // Triggers (SerDispatcher): each gives a handle or raises.
  int AddDataTrigger(const std::string& pattern, bool ignoreCase);
  int AddTimerTrigger();
  void SetTimerTrigger(int handle, int ticks, bool activate);
  int AddStatusTrigger(int kind);
  void SetStatusTrigger(int handle, int value, bool activate);
  void RemoveTrigger(int handle);

  // Every message goes first to OnTrigger, then to the event of its kind.
  void SetOnTrigger(TTriggerEvent handler);
  void SetOnTriggerAvail(TTriggerAvailEvent handler);
  void SetOnTriggerData(TTriggerHandleEvent handler);
  void SetOnTriggerStatus(TTriggerHandleEvent handler);
  void SetOnTriggerTimer(TTriggerHandleEvent handler);
  void SetOnTriggerLineError(TTriggerLineErrorEvent handler);
  void SetOnTriggerModemStatus(TNotifyEvent handler);
  void SetOnTriggerOutbuffFree(TNotifyEvent handler);
  void SetOnTriggerOutbuffUsed(TNotifyEvent handler);
  void SetOnTriggerOutSent(TNotifyEvent handler);

 protected:
  explicit TSerComPortDelivery(QObject* owner);

  void customEvent(QEvent* event) override;
  // Every message goes first to DoTrigger, then to the Trigger operation of its
  // kind; each fires its event when one is assigned.
  virtual void DoTrigger(int msg, int triggerHandle, int data);
  virtual void TriggerAvail(int count);
  virtual void TriggerData(int triggerHandle);
  virtual void TriggerStatus(int triggerHandle);
  virtual void TriggerTimer(int triggerHandle);
  virtual void TriggerLineError(int error, bool lineBreak);
  virtual void TriggerModemStatus();
  virtual void TriggerOutbuffFree();
  virtual void TriggerOutbuffUsed();
  virtual void TriggerOutSent();

  // The dispatcher's callbacks for the opening of that generation.
  TSerDispatcherCallbacks DeliveryCallbacks(unsigned generation);
  void UpdateHandlerState();
  // Takes source's first five trigger events.
  void AssignTriggerEvents(const TSerComPortDelivery& source);

  // Tells events of an earlier opening apart; each opening counts it up.
  unsigned generation_ = 0;

 private:
  // What the port tells this part.
  virtual std::shared_ptr<TSerDispatcher> Dispatcher() const = 0;
  // Null only while loading, which does not raise.
  virtual std::shared_ptr<TSerDispatcher> RequireDispatcher() = 0;
  virtual int Check(int code) const = 0;
  virtual bool PortOpen() const = 0;
  // A close asked inside the delivery that just ended finishes now.
  virtual void FinishCloseAfterDelivery() = 0;
  // The port itself, as the trigger events name it.
  virtual TSerComPort& Port() = 0;
  // The pending line error and break, each cleared by being taken.
  virtual std::pair<int, bool> TakeLineError() = 0;
  // A read or write fault ends the opening.
  virtual void CloseAfterFault() = 0;

  void HandleDeliver(unsigned generation);
  void HandleMessage(const TTriggerMessage& m);
  void HandleFailure(unsigned generation, int code);
  void PostEvent(int type, unsigned generation, int code = 0);
  template <class F>
  void SetEvent(F& field, F handler) {
    field = std::move(handler);
    UpdateHandlerState();
  }

  std::atomic<unsigned> eventsPosted_{0};
  TTriggerEvent onTrigger_;
  TTriggerAvailEvent onTriggerAvail_;
  TTriggerHandleEvent onTriggerData_, onTriggerStatus_, onTriggerTimer_;
  TTriggerLineErrorEvent onTriggerLineError_;
  TNotifyEvent onTriggerModemStatus_, onTriggerOutbuffFree_, onTriggerOutbuffUsed_, onTriggerOutSent_;
};
