#include "serial/CustomComPort.h"

#include <QMetaObject>

#include "platform/inifile.h"
#include "serial/SerErrorCodes.h"

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

QString Yes(bool on) { return on ? QStringLiteral("Yes") : QStringLiteral("No"); }
QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

QString CharText(char c) {
  const int code = static_cast<unsigned char>(c);
  if (code >= 33 && code <= 127) return QString(QChar(code));
  return QStringLiteral("#%1").arg(code);
}

char CharFromText(const QString& text) {
  if (text.isEmpty()) return 0;
  if (text.startsWith(QLatin1Char('#')) && text.size() > 1) return static_cast<char>(text.mid(1).toInt());
  return text.at(0).toLatin1();
}

bool BoolFromText(const QString& text) { return text.toUpper() == QStringLiteral("YES"); }

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
  if (ControlRTS == rtsHandshake || OutCTSFlow || XonXoffIn || XonXoffOut) return fcCustom;
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
  TCustomComPort* port = port_;
  *this = o;
  port_ = port;
}

void TComParity::SetBits(TParityBits bits) {
  if (bits == Bits) return;
  Bits = bits;
  if (port_) port_->ApplyLineSettings();
}

void TComParity::SetCheck(bool on) {
  if (on == Check) return;
  Check = on;
  if (port_) port_->ApplyLineSettings();
}

void TComParity::Assign(const TComParity& o) {
  Bits = o.Bits;
  Check = o.Check;
  Replace = o.Replace;
  ReplaceChar = o.ReplaceChar;
}

void TComBuffer::SetInputSize(int size) { input_ = size > 0 && size % 2 ? size - 1 : size; }
void TComBuffer::SetOutputSize(int size) { output_ = size > 0 && size % 2 ? size - 1 : size; }
void TComBuffer::Assign(const TComBuffer& o) {
  input_ = o.input_;
  output_ = o.output_;
}

TCustomComPort::TCustomComPort(QObject* owner) : QObject(owner) {}

TCustomComPort::~TCustomComPort() { Close(); }

void TCustomComPort::SetPort(const std::string& port) {
  if (port == port_) return;
  port_ = port;
  if (connected_) {
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

void TCustomComPort::ApplyLineSettings() {
  if (!connected_) return;
  TSerLineState s;
  s.Baud = baudRate_ == brCustom ? customBaudRate_ : std::stoi(BaudRateText(baudRate_));
  s.ByteSize = 5 + dataBits_;
  s.Parity = parity_.Bits;
  s.StopBits = stopBits_;
  s.OutxCtsFlow = flowControl_.OutCTSFlow || flowControl_.ControlRTS == rtsHandshake;
  s.OutX = flowControl_.XonXoffOut;
  s.InX = flowControl_.XonXoffIn;
  s.XonChar = flowControl_.XonChar;
  s.XoffChar = flowControl_.XoffChar;
  const int r = device_->SetLineState(s);
  if (r < 0) throw EComPort(7, -r);
  if (flowControl_.ControlDTR != dtrHandshake) device_->SetDTR(flowControl_.ControlDTR == dtrEnable);
  if (flowControl_.ControlRTS != rtsHandshake) device_->SetRTS(flowControl_.ControlRTS == rtsEnable);
}

void TCustomComPort::Open() {
  if (connected_) return;
  if (OnBeforeOpen) OnBeforeOpen(this);
  device_ = std::make_unique<TTermiosDevice>();
  if (device_->Open(DeviceOf(port_)) < 0) {
    const int error = device_->OpenErrno();
    device_.reset();
    throw EComPort(1, error);
  }
  connected_ = true;
  try {
    ApplyLineSettings();
  } catch (...) {
    device_->Close();
    device_.reset();
    connected_ = false;
    throw;
  }
  stop_ = false;
  rxPending_ = false;
  thread_ = std::thread([this] { EventLoop(); });
  if (OnAfterOpen) OnAfterOpen(this);
  DeliverModem(~ModemSignals(), ModemSignals());
}

void TCustomComPort::StopThread() {
  stop_ = true;
  device_->Wake();
  {
    std::lock_guard lock(lock_);
    rxPending_ = false;
  }
  handled_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void TCustomComPort::Close() {
  if (!connected_) return;
  DeliverModem(ModemSignals(), 0);
  if (OnBeforeClose) OnBeforeClose(this);
  device_->PurgeInput();
  device_->PurgeOutput();
  StopThread();
  device_->Close();
  device_.reset();
  connected_ = false;
  if (OnAfterClose) OnAfterClose(this);
}

int TCustomComPort::Read(char* buffer, int count) {
  if (!connected_) return 0;
  const int n = device_->Read(reinterpret_cast<uint8_t*>(buffer), static_cast<size_t>(count));
  if (n < 0) throw EComPort(3, -n);
  return n;
}

int TCustomComPort::InputCount() {
  if (!connected_) return 0;
  const int n = device_->InputCount();
  if (n < 0) throw EComPort(10, -n);
  return n;
}

int TCustomComPort::ModemSignals() {
  if (!connected_) return 0;
  int bits = 0;
  device_->GetModemStatus(bits);
  return (bits & SerModem::CTS ? 1 : 0) | (bits & SerModem::DSR ? 2 : 0) | (bits & SerModem::Ring ? 4 : 0) |
         (bits & SerModem::RLSD ? 8 : 0);
}

// The thread waits for input, hands it to the GUI thread, and waits again only
// once the GUI side has had it, so bytes left unread do not keep it spinning.
void TCustomComPort::EventLoop() {
  int lines = 0;
  device_->GetModemStatus(lines);
  while (!stop_) {
    const int ready = device_->WaitReadable();
    if (stop_ || ready != SerWait::Ready) return;
    {
      std::unique_lock lock(lock_);
      rxPending_ = true;
    }
    QMetaObject::invokeMethod(this, [this] { DeliverRxChar(); }, Qt::QueuedConnection);
    std::unique_lock lock(lock_);
    handled_.wait(lock, [this] { return !rxPending_ || stop_; });
    // Bytes the handler left unread keep the device readable: look again later.
    if (leftUnread_) handled_.wait_for(lock, std::chrono::milliseconds(100), [this] { return stop_.load(); });
  }
}

void TCustomComPort::DeliverRxChar() {
  bool unread = false;
  if (connected_) {
    const int count = InputCount();
    if (count > 0 && OnRxChar) OnRxChar(this, count);
    unread = connected_ && count > 0 && InputCount() >= count;
  }
  {
    std::lock_guard lock(lock_);
    rxPending_ = false;
    leftUnread_ = unread;
  }
  handled_.notify_all();
}

void TCustomComPort::DeliverModem(int before, int after) {
  const int changed = before ^ after;
  if ((changed & 1) && OnCTSChange) OnCTSChange(this, after & 1);
  if ((changed & 2) && OnDSRChange) OnDSRChange(this, after & 2);
  if ((changed & 8) && OnRLSDChange) OnRLSDChange(this, after & 8);
}

QString TCustomComPort::Section() const { return objectName(); }

void TCustomComPort::StoreToIni(TMemIniFile& ini) const {
  const QString s = Section();
  if (StoredGroups & sgBasic) {
    ini.WriteString(s, QStringLiteral("Port"), Q(port_));
    ini.WriteString(s, QStringLiteral("BaudRate"), Q(BaudRateText(baudRate_)));
    if (baudRate_ == brCustom) ini.WriteInteger(s, QStringLiteral("CustomBaudRate"), customBaudRate_);
    ini.WriteString(s, QStringLiteral("StopBits"), Q(StopBitsText(stopBits_)));
    ini.WriteString(s, QStringLiteral("DataBits"), Q(DataBitsText(dataBits_)));
    ini.WriteString(s, QStringLiteral("Parity"), Q(ParityText(parity_.Bits)));
    ini.WriteString(s, QStringLiteral("FlowControl"), Q(FlowControlText(flowControl_.FlowControl())));
  }
  if (StoredGroups & sgMisc) {
    ini.WriteString(s, QStringLiteral("EventChar"), CharText(eventChar_));
    ini.WriteString(s, QStringLiteral("DiscardNull"), Yes(discardNull_));
  }
  if (StoredGroups & sgParity) {
    ini.WriteString(s, QStringLiteral("Parity.Check"), Yes(parity_.Check));
    ini.WriteString(s, QStringLiteral("Parity.Replace"), Yes(parity_.Replace));
    ini.WriteString(s, QStringLiteral("Parity.ReplaceChar"), CharText(parity_.ReplaceChar));
  }
  if (StoredGroups & sgBuffer) {
    ini.WriteInteger(s, QStringLiteral("Buffer.OutputSize"), buffer_.OutputSize());
    ini.WriteInteger(s, QStringLiteral("Buffer.InputSize"), buffer_.InputSize());
  }
  if (StoredGroups & sgTimeouts) {
    ini.WriteInteger(s, QStringLiteral("Timeouts.ReadInterval"), timeouts_.ReadInterval);
    ini.WriteInteger(s, QStringLiteral("Timeouts.ReadTotalConstant"), timeouts_.ReadTotalConstant);
    ini.WriteInteger(s, QStringLiteral("Timeouts.ReadTotalMultiplier"), timeouts_.ReadTotalMultiplier);
    ini.WriteInteger(s, QStringLiteral("Timeouts.WriteTotalConstant"), timeouts_.WriteTotalConstant);
    ini.WriteInteger(s, QStringLiteral("Timeouts.WriteTotalMultiplier"), timeouts_.WriteTotalMultiplier);
  }
  if (StoredGroups & sgFlowControl) {
    const TComFlowControl& f = flowControl_;
    ini.WriteString(s, QStringLiteral("FlowControl.ControlRTS"), Q(RTSText(f.ControlRTS)));
    ini.WriteString(s, QStringLiteral("FlowControl.ControlDTR"), Q(DTRText(f.ControlDTR)));
    ini.WriteString(s, QStringLiteral("FlowControl.DSRSensitivity"), Yes(f.DSRSensitivity));
    ini.WriteString(s, QStringLiteral("FlowControl.OutCTSFlow"), Yes(f.OutCTSFlow));
    ini.WriteString(s, QStringLiteral("FlowControl.OutDSRFlow"), Yes(f.OutDSRFlow));
    ini.WriteString(s, QStringLiteral("FlowControl.TxContinueOnXoff"), Yes(f.TxContinueOnXoff));
    ini.WriteString(s, QStringLiteral("FlowControl.XonXoffIn"), Yes(f.XonXoffIn));
    ini.WriteString(s, QStringLiteral("FlowControl.XonXoffOut"), Yes(f.XonXoffOut));
    ini.WriteString(s, QStringLiteral("FlowControl.XoffChar"), CharText(f.XoffChar));
    ini.WriteString(s, QStringLiteral("FlowControl.XonChar"), CharText(f.XonChar));
  }
}

// Every key's default is the current value, so a missing key changes nothing.
void TCustomComPort::LoadFromIni(const TMemIniFile& ini) {
  const QString s = Section();
  auto str = [&](const char* key, const QString& current) {
    return ini.ReadString(s, QString::fromLatin1(key), current);
  };
  auto yes = [&](const char* key, bool current) { return BoolFromText(str(key, Yes(current))); };
  auto num = [&](const char* key, int current) { return ini.ReadInteger(s, QString::fromLatin1(key), current); };
  auto chr = [&](const char* key, char current) { return CharFromText(str(key, CharText(current))); };
  if (StoredGroups & sgBasic) {
    SetPort(str("Port", Q(port_)).toStdString());
    SetBaudRate(BaudRateFromText(str("BaudRate", Q(BaudRateText(baudRate_))).toStdString()));
    if (baudRate_ == brCustom) SetCustomBaudRate(num("CustomBaudRate", 9600));
    SetStopBits(StopBitsFromText(str("StopBits", Q(StopBitsText(stopBits_))).toStdString()));
    SetDataBits(DataBitsFromText(str("DataBits", Q(DataBitsText(dataBits_))).toStdString()));
    parity_.SetBits(ParityFromText(str("Parity", Q(ParityText(parity_.Bits))).toStdString()));
    flowControl_.SetFlowControl(
        FlowControlFromText(str("FlowControl", Q(FlowControlText(flowControl_.FlowControl()))).toStdString()));
  }
  if (StoredGroups & sgMisc) {
    SetEventChar(chr("EventChar", eventChar_));
    SetDiscardNull(yes("DiscardNull", discardNull_));
  }
  if (StoredGroups & sgParity) {
    parity_.SetCheck(yes("Parity.Check", parity_.Check));
    parity_.Replace = yes("Parity.Replace", parity_.Replace);
    parity_.ReplaceChar = chr("Parity.ReplaceChar", parity_.ReplaceChar);
  }
  if (StoredGroups & sgBuffer) {
    buffer_.SetOutputSize(num("Buffer.OutputSize", buffer_.OutputSize()));
    buffer_.SetInputSize(num("Buffer.InputSize", buffer_.InputSize()));
  }
  if (StoredGroups & sgTimeouts) {
    timeouts_.ReadInterval = num("Timeouts.ReadInterval", timeouts_.ReadInterval);
    timeouts_.ReadTotalConstant = num("Timeouts.ReadTotalConstant", timeouts_.ReadTotalConstant);
    timeouts_.ReadTotalMultiplier = num("Timeouts.ReadTotalMultiplier", timeouts_.ReadTotalMultiplier);
    timeouts_.WriteTotalConstant = num("Timeouts.WriteTotalConstant", timeouts_.WriteTotalConstant);
    timeouts_.WriteTotalMultiplier = num("Timeouts.WriteTotalMultiplier", timeouts_.WriteTotalMultiplier);
  }
  if (StoredGroups & sgFlowControl) {
    TComFlowControl& f = flowControl_;
    f.Set(&TComFlowControl::ControlRTS, RTSFromText(str("FlowControl.ControlRTS", Q(RTSText(f.ControlRTS))).toStdString()));
    f.Set(&TComFlowControl::ControlDTR, DTRFromText(str("FlowControl.ControlDTR", Q(DTRText(f.ControlDTR))).toStdString()));
    f.Set(&TComFlowControl::DSRSensitivity, yes("FlowControl.DSRSensitivity", f.DSRSensitivity));
    f.Set(&TComFlowControl::OutCTSFlow, yes("FlowControl.OutCTSFlow", f.OutCTSFlow));
    f.Set(&TComFlowControl::OutDSRFlow, yes("FlowControl.OutDSRFlow", f.OutDSRFlow));
    f.Set(&TComFlowControl::TxContinueOnXoff, yes("FlowControl.TxContinueOnXoff", f.TxContinueOnXoff));
    f.Set(&TComFlowControl::XonXoffIn, yes("FlowControl.XonXoffIn", f.XonXoffIn));
    f.Set(&TComFlowControl::XonXoffOut, yes("FlowControl.XonXoffOut", f.XonXoffOut));
    f.Set(&TComFlowControl::XoffChar, chr("FlowControl.XoffChar", f.XoffChar));
    f.Set(&TComFlowControl::XonChar, chr("FlowControl.XonChar", f.XonChar));
  }
}
