#pragma once
// The port settings of the enumeration component set: each setting is a small code
// that indexes a fixed text table. Text-to-code conversions never fail: a text the
// table lacks gives the setting's fallback code.
#include <QString>
#include <QStringList>

using TBaudRateCode = int;   // 0 "Custom", 1..15 the rates their texts spell
using TStopBitsCode = int;   // 0 "1", 1 "1.5", 2 "2"
using TDataBitsCode = int;   // 0 "5" .. 3 "8"

enum TParityBits { prNone, prOdd, prEven, prMark, prSpace };
enum TFlowControl { fcHardware, fcSoftware, fcNone, fcCustom };
enum TDTRFlowControl { dtrDisable, dtrEnable, dtrHandshake };
enum TRTSFlowControl { rtsDisable, rtsEnable, rtsHandshake, rtsToggle };

QString BaudRateText(TBaudRateCode code);
QString StopBitsText(TStopBitsCode code);
QString DataBitsText(TDataBitsCode code);
QString ParityText(TParityBits code);
QString FlowControlText(TFlowControl code);
QString DTRText(TDTRFlowControl code);
QString RTSText(TRTSFlowControl code);

TBaudRateCode BaudRateFromText(const QString& text);
TStopBitsCode StopBitsFromText(const QString& text);
TDataBitsCode DataBitsFromText(const QString& text);
TParityBits ParityFromText(const QString& text);
TFlowControl FlowControlFromText(const QString& text);
TDTRFlowControl DTRFromText(const QString& text);
TRTSFlowControl RTSFromText(const QString& text);

// The whole table of a setting, in code order (the items of a settings combo box).
QStringList BaudRateTexts();
QStringList DataBitsTexts();
QStringList StopBitsTexts();
QStringList ParityTexts();
QStringList FlowControlTexts();

// The rate of a baud code 1..15; 0 for "Custom" and for codes outside the table.
int BaudRateOfCode(TBaudRateCode code);
