#include "serial/ComPortGroups.h"

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
  TComGroupsOwner* port = port_;
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
