#pragma once
// The settings groups of the component set's port: time-outs, flow control,
// parity and buffer sizes.
#include "serial/ComSet.h"

// The port the groups belong to, told when a value of a group changes.
class TComGroupsOwner {
 public:
  virtual void ApplyLineSettings() = 0;
  virtual void ApplyBufferSizes() = 0;

 protected:
  ~TComGroupsOwner() = default;
};

// Each group re-applies its part of the device settings when a value changes;
// the time-outs are taken by Read and Write as they go.
class TComTimeouts {
 public:
  // -1 stands for "no interval": with both totals 0 a read returns at once.
  int ReadInterval = -1;
  int ReadTotalMultiplier = 0;
  int ReadTotalConstant = 0;
  int WriteTotalMultiplier = 100;
  int WriteTotalConstant = 1000;
  void Assign(const TComTimeouts& other);
};

class TComFlowControl {
 public:
  explicit TComFlowControl(TComGroupsOwner* port = nullptr) : port_(port) {}
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
  TComGroupsOwner* port_;
};

class TComParity {
 public:
  explicit TComParity(TComGroupsOwner* port = nullptr) : port_(port) {}
  TParityBits Bits = prNone;
  // Received bytes are checked for parity; with Replace a bad one arrives as ReplaceChar.
  bool Check = false;
  bool Replace = false;
  char ReplaceChar = 0;
  template <class T>
  void Set(T TComParity::*field, T value) {
    if (this->*field == value) return;
    this->*field = value;
    Changed();
  }
  void Assign(const TComParity& other);

 private:
  void Changed();
  TComGroupsOwner* port_;
};

class TComBuffer {
 public:
  explicit TComBuffer(TComGroupsOwner* port = nullptr) : port_(port) {}
  int InputSize() const { return input_; }
  int OutputSize() const { return output_; }
  // A positive odd size is lowered by one.
  void SetInputSize(int size);
  void SetOutputSize(int size);
  void Assign(const TComBuffer& other);

 private:
  TComGroupsOwner* port_;
  int input_ = 1024;
  int output_ = 1024;
};
