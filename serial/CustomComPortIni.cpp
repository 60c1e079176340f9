// The component set's port settings in an ini file, group by group.
#include "platform/inifile.h"
#include "serial/CustomComPort.h"

namespace {

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
    parity_.Set(&TComParity::Bits, ParityFromText(str("Parity", Q(ParityText(parity_.Bits))).toStdString()));
    flowControl_.SetFlowControl(
        FlowControlFromText(str("FlowControl", Q(FlowControlText(flowControl_.FlowControl()))).toStdString()));
  }
  if (StoredGroups & sgMisc) {
    SetEventChar(chr("EventChar", eventChar_));
    SetDiscardNull(yes("DiscardNull", discardNull_));
  }
  if (StoredGroups & sgParity) {
    parity_.Set(&TComParity::Check, yes("Parity.Check", parity_.Check));
    parity_.Set(&TComParity::Replace, yes("Parity.Replace", parity_.Replace));
    parity_.Set(&TComParity::ReplaceChar, chr("Parity.ReplaceChar", parity_.ReplaceChar));
  }
  if (StoredGroups & sgBuffer) {
    buffer_.SetOutputSize(num("Buffer.OutputSize", buffer_.OutputSize()));
    buffer_.SetInputSize(num("Buffer.InputSize", buffer_.InputSize()));
  }
  if (StoredGroups & sgTimeouts) {
    TComTimeouts& t = timeouts_;
    t.ReadInterval = num("Timeouts.ReadInterval", t.ReadInterval);
    t.ReadTotalConstant = num("Timeouts.ReadTotalConstant", t.ReadTotalConstant);
    t.ReadTotalMultiplier = num("Timeouts.ReadTotalMultiplier", t.ReadTotalMultiplier);
    t.WriteTotalConstant = num("Timeouts.WriteTotalConstant", t.WriteTotalConstant);
    t.WriteTotalMultiplier = num("Timeouts.WriteTotalMultiplier", t.WriteTotalMultiplier);
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
