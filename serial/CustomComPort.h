#pragma once
// The port component of the enumeration component set, on the same Linux device
// layer as the serial driver. The programs link it but never create one: their
// links use TSerComPort. Its event thread watches the device and reports on the
// GUI thread: received characters, and changes of CTS, DSR and RLSD.
#include <QObject>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "serial/ComSet.h"
#include "serial/TermiosDevice.h"

class TCustomComPort;
class TMemIniFile;

// Each group re-applies its part of the device settings when a value changes.
// Time-outs and queue sizes are the kernel's business on Linux: kept and stored only.
class TComTimeouts {
 public:
  int ReadInterval = -1;
  int ReadTotalMultiplier = 0;
  int ReadTotalConstant = 0;
  int WriteTotalMultiplier = 100;
  int WriteTotalConstant = 1000;
  void Assign(const TComTimeouts& other);
};

class TComFlowControl {
 public:
  explicit TComFlowControl(TCustomComPort* port = nullptr) : port_(port) {}
  bool OutCTSFlow = false;
  bool OutDSRFlow = false;
  TDTRFlowControl ControlDTR = dtrDisable;
  TRTSFlowControl ControlRTS = rtsDisable;
  bool XonXoffOut = false;
  bool XonXoffIn = false;
  bool DSRSensitivity = false;
  bool TxContinueOnXoff = false;
  char XonChar = 17;
  char XoffChar = 19;
  template <class T>
  void Set(T TComFlowControl::*field, T value) {
    if (this->*field == value) return;
    this->*field = value;
    Changed();
  }
  TFlowControl FlowControl() const;
  void SetFlowControl(TFlowControl value);
  void Assign(const TComFlowControl& other);

 private:
  void Changed();
  TCustomComPort* port_;
};

class TComParity {
 public:
  explicit TComParity(TCustomComPort* port = nullptr) : port_(port) {}
  TParityBits Bits = prNone;
  bool Check = false;
  bool Replace = false;
  char ReplaceChar = 0;
  void SetBits(TParityBits bits);
  void SetCheck(bool on);
  void Assign(const TComParity& other);

 private:
  TCustomComPort* port_;
};

class TComBuffer {
 public:
  int InputSize() const { return input_; }
  int OutputSize() const { return output_; }
  // A positive odd size is lowered by one.
  void SetInputSize(int size);
  void SetOutputSize(int size);
  void Assign(const TComBuffer& other);

 private:
  int input_ = 1024;
  int output_ = 1024;
};

enum TStoredGroup : unsigned {
  sgBasic = 1u << 0,
  sgMisc = 1u << 1,
  sgParity = 1u << 2,
  sgBuffer = 1u << 3,
  sgTimeouts = 1u << 4,
  sgFlowControl = 1u << 5,
};

class TCustomComPort : public QObject {
  Q_OBJECT
 public:
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
  unsigned StoredGroups = sgBasic;

  TComParity& Parity() { return parity_; }
  TComFlowControl& FlowControl() { return flowControl_; }
  TComTimeouts& Timeouts() { return timeouts_; }
  TComBuffer& Buffer() { return buffer_; }

  void Open();
  void Close();
  bool Connected() const { return connected_; }

  // Reads up to count bytes that are there; the number read.
  int Read(char* buffer, int count);
  int InputCount();
  // Bit 0 CTS, 1 DSR, 2 ring, 3 RLSD.
  int ModemSignals();

  void ApplyLineSettings();

  void StoreToIni(TMemIniFile& ini) const;
  void LoadFromIni(const TMemIniFile& ini);

  std::function<void(TCustomComPort*)> OnBeforeOpen, OnAfterOpen, OnBeforeClose, OnAfterClose;
  std::function<void(TCustomComPort*, int count)> OnRxChar;
  std::function<void(TCustomComPort*, bool on)> OnCTSChange, OnDSRChange, OnRLSDChange;

 private:
  void EventLoop();
  void DeliverRxChar();
  void DeliverModem(int before, int after);
  void StopThread();
  QString Section() const;

  std::string port_ = "COM1";
  TBaudRateCode baudRate_ = br9600;
  int customBaudRate_ = 9600;
  TStopBitsCode stopBits_ = sbOneStopBit;
  TDataBitsCode dataBits_ = dbEight;
  bool discardNull_ = false;
  char eventChar_ = 0;
  TComParity parity_{this};
  TComFlowControl flowControl_{this};
  TComTimeouts timeouts_;
  TComBuffer buffer_;

  bool connected_ = false;
  std::unique_ptr<TTermiosDevice> device_;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::mutex lock_;
  std::condition_variable handled_;
  bool rxPending_ = false;
  bool leftUnread_ = false;
};

// A character from 33 to 127 as itself, any other as "#" and its code.
QString CharText(char c);
char CharFromText(const QString& text);
bool BoolFromText(const QString& text);
