#pragma once
// The port component of the enumeration component set, on the same device layer
// as the serial driver. The programs link it but never create one: their links
// use TSerComPort.
//
// While open and watching events, an event thread reads what arrives into the
// port's input queue (so that it can see the event character and how full the
// queue is) and a second thread waits for the modem lines; the events reach the
// program by DeliveryMode: 0 on the GUI thread, 1 one message per event on the
// GUI thread, 2 on the event thread itself. Without watched events no thread runs
// and Read takes straight from the device.
#include <QObject>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "serial/ComPortEvents.h"
#include "serial/ComPortGroups.h"
#include "serial/ComSet.h"
#include "serial/SerDevice.h"

class TMemIniFile;

enum TStoredGroup : unsigned {
  sgBasic = 1u << 0,
  sgMisc = 1u << 1,
  sgParity = 1u << 2,
  sgBuffer = 1u << 3,
  sgTimeouts = 1u << 4,
  sgFlowControl = 1u << 5,
};

class TCustomComPort : public QObject, public TComGroupsOwner {
  Q_OBJECT
  friend class TComEventWindow;

 public:
  using TDeviceFactory = std::function<std::unique_ptr<TSerDevice>()>;

  explicit TCustomComPort(QObject* owner = nullptr);
  ~TCustomComPort() override;

  // "COMn" names /dev/ttyS{n-1}; any other text is the device path.
  std::string Port() const { return port_; }
  void SetPort(const std::string& port);
  TBaudRateCode BaudRate() const { return baudRate_; }
  void SetBaudRate(TBaudRateCode code);
  int CustomBaudRate() const { return customBaudRate_; }
  void SetCustomBaudRate(int rate);
  TStopBitsCode StopBits() const { return stopBits_; }
  void SetStopBits(TStopBitsCode code);
  TDataBitsCode DataBits() const { return dataBits_; }
  void SetDataBits(TDataBitsCode code);
  bool DiscardNull() const { return discardNull_; }
  void SetDiscardNull(bool on);
  char EventChar() const { return eventChar_; }
  void SetEventChar(char c);
  TComEvents Events() const { return events_; }
  // Takes effect at the next open.
  void SetEvents(TComEvents events) { events_ = events; }
  // Linux lets no ordinary user raise a thread's priority, nor restore one that
  // was lowered: the value is kept and the event thread runs at the normal one.
  TThreadPriority EventThreadPriority() const { return eventThreadPriority_; }
  void SetEventThreadPriority(TThreadPriority priority) { eventThreadPriority_ = priority; }
  int DeliveryMode() const { return deliveryMode_; }
  // 0, 1 or 2; takes effect at the next open.
  void SetDeliveryMode(int mode) { deliveryMode_ = mode; }
  unsigned StoredGroups = sgBasic;
  // With the count switch on and the buffer switch off (as they start), received
  // bytes are announced by count; otherwise they are read for the linked
  // components that take buffers and for OnRxBuf.
  bool RxCountSwitch = true;
  bool RxBufferSwitch = false;

  TComParity& Parity() { return parity_; }
  TComFlowControl& FlowControl() { return flowControl_; }
  TComTimeouts& Timeouts() { return timeouts_; }
  TComBuffer& Buffer() { return buffer_; }

  // Changes between the two take effect together at the last EndUpdate.
  void BeginUpdate() { ++updateCount_; }
  void EndUpdate();

  void Open();
  void Close();
  bool Connected() const { return connected_; }
  // Open or Close; while loading, only remembered for Loaded.
  void SetConnected(bool on);

  // Settings given one after another, as when a form restores the port: until
  // Loaded nothing is applied to a device and the port does not open.
  void BeginLoading() { loading_ = true; }
  // A port loaded as connected opens now; a failure to open is shown in the
  // application's error box and leaves the port closed.
  void Loaded();

  // Reads up to count bytes under the time-outs: with ReadInterval -1 and no
  // totals it gives what is there at once; otherwise it waits for count bytes until
  // the total time-out, or the interval time-out between two bytes, runs out.
  int Read(char* buffer, int count);
  // Writes all of the bytes, or what the write time-out allowed; the number written.
  int Write(const char* data, int count);
  int InputCount();
  // Bit 0 CTS, 1 DSR, 2 ring, 3 RLSD.
  int ModemSignals();
  // The ComLineError set since the last call.
  int LineErrors();

  void RegisterLink(TComLink* link);
  void UnregisterLink(TComLink* link);

  void ApplyLineSettings() override;
  void ApplyBufferSizes() override;

  void StoreToIni(TMemIniFile& ini) const;
  void LoadFromIni(const TMemIniFile& ini);

  // Tests put a device of their own under the port.
  void SetDeviceFactory(TDeviceFactory factory) { deviceFactory_ = std::move(factory); }

  std::function<void(TCustomComPort*)> OnBeforeOpen, OnAfterOpen, OnBeforeClose, OnAfterClose;
  std::function<void(TCustomComPort*, int count)> OnRxChar;
  std::function<void(TCustomComPort*, const char* data, int count)> OnRxBuf;
  std::function<void(TCustomComPort*)> OnTxEmpty, OnRxFlag, OnRing, OnBreak, OnRx80Full;
  std::function<void(TCustomComPort*, bool on)> OnCTSChange, OnDSRChange, OnRLSDChange;
  std::function<void(TCustomComPort*, int errors)> OnError;

 private:
  bool Applies() const { return connected_ && updateCount_ == 0 && !loading_; }
  // CustomComPortEvents.cpp: the event threads and the delivery modes.
  void EventLoop();
  void ModemLoop(int last);
  // Hands events over by DeliveryMode.
  void Signal(TComEvents events);
  Q_INVOKABLE void DeliverPending();
  void DeliverOnEventThread(TComEvents events);
  Q_INVOKABLE void ShowFailures();
  void DeliverOne();
  void Deliver(TComEvents events);
  void DeliverRxChar();
  void DeliverModem(TComEvent event);
  void StopThreads();
  // CustomComPortIO.cpp: reads and writes under the time-outs.
  int TakeQueued(char* out, int count);
  // CustomComPortIni.cpp: the settings in an ini file.
  QString Section() const;
  [[noreturn]] void Raise(int code);

  std::string port_ = "COM1";
  TBaudRateCode baudRate_ = br9600;
  int customBaudRate_ = 9600;
  TStopBitsCode stopBits_ = sbOneStopBit;
  TDataBitsCode dataBits_ = dbEight;
  bool discardNull_ = false;
  char eventChar_ = 0;
  TComEvents events_ = kAllComEvents;
  TThreadPriority eventThreadPriority_ = tpNormal;
  int deliveryMode_ = 0;
  int updateCount_ = 0;
  bool loading_ = false;
  bool connectAfterLoad_ = false;
  TComParity parity_{this};
  TComFlowControl flowControl_{this};
  TComTimeouts timeouts_;
  TComBuffer buffer_{this};
  std::vector<TComLink*> links_;
  TDeviceFactory deviceFactory_;

  bool connected_ = false;
  std::unique_ptr<TSerDevice> device_;
  std::thread eventThread_, modemThread_;
  // The receiver of delivery mode 1's messages; going with the port's close, it
  // takes the messages still on their way with it. Set before the threads start.
  TComEventWindow* window_ = nullptr;

  // The lock guards what the GUI thread shares with the event threads: the
  // received bytes, the line errors, the events on their way and the failures
  // to show. No handler runs with it held, and the device is called without it
  // but for the counts a wake-up reads.
  std::mutex lock_;
  std::condition_variable changed_;
  std::atomic<bool> stop_{false};
  std::deque<char> queue_;
  int queueLimit_ = 1024;
  int lineErrors_ = 0;  // ComLineError bits
  TComEvents pending_ = 0;
  std::deque<TComEvent> pendingOrder_;  // delivery mode 1
  TComEvents modemPending_ = 0;         // delivery mode 2: for the event thread to deliver
  std::deque<std::string> failures_;    // delivery mode 2: handlers' failures, to be shown
  std::atomic<char> watchedChar_{0};
  bool deliveryPosted_ = false;
  bool txPending_ = false;  // written bytes have yet to leave the device
  int readFailure_ = 0;     // the event thread's read failure, for the next Read
};

// A character from 33 to 127 as itself, any other as "#" and its code.
QString CharText(char c);
char CharFromText(const QString& text);
bool BoolFromText(const QString& text);
