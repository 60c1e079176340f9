#include "serial/ComSetTexts.h"

#include <array>
#include <span>

namespace {

constexpr std::array<const char*, 16> kBaudTexts = {
    "Custom", "110",   "300",   "600",   "1200",  "2400",   "4800",   "9600",
    "14400",  "19200", "38400", "56000", "57600", "115200", "128000", "256000"};
constexpr std::array<const char*, 3> kStopBitsTexts = {"1", "1.5", "2"};
constexpr std::array<const char*, 4> kDataBitsTexts = {"5", "6", "7", "8"};
constexpr std::array<const char*, 5> kParityTexts = {"None", "Odd", "Even", "Mark", "Space"};
constexpr std::array<const char*, 4> kFlowTexts = {"Hardware", "Software", "None", "Custom"};
constexpr std::array<const char*, 3> kDTRTexts = {"Disable", "Enable", "Handshake"};
constexpr std::array<const char*, 4> kRTSTexts = {"Disable", "Enable", "Handshake", "Toggle"};

// Only ASCII letters change case, as the tables hold nothing else.
QString AsciiUpper(const QString& text) {
  QString out = text;
  for (QChar& c : out)
    if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) c = QChar(c.unicode() - 'a' + 'A');
  return out;
}

QString TextOf(std::span<const char* const> table, int code) {
  if (code < 0 || code >= static_cast<int>(table.size())) return QString();
  return QString::fromLatin1(table[static_cast<size_t>(code)]);
}

int CodeOf(std::span<const char* const> table, const QString& text, int fallback) {
  const QString wanted = AsciiUpper(text);
  for (size_t i = 0; i < table.size(); ++i)
    if (AsciiUpper(QString::fromLatin1(table[i])) == wanted) return static_cast<int>(i);
  return fallback;
}

QStringList AllOf(std::span<const char* const> table) {
  QStringList out;
  for (const char* t : table) out << QString::fromLatin1(t);
  return out;
}

}  // namespace

QString BaudRateText(TBaudRateCode code) { return TextOf(kBaudTexts, code); }
QString StopBitsText(TStopBitsCode code) { return TextOf(kStopBitsTexts, code); }
QString DataBitsText(TDataBitsCode code) { return TextOf(kDataBitsTexts, code); }
QString ParityText(TParityBits code) { return TextOf(kParityTexts, code); }
QString FlowControlText(TFlowControl code) { return TextOf(kFlowTexts, code); }
QString DTRText(TDTRFlowControl code) { return TextOf(kDTRTexts, code); }
QString RTSText(TRTSFlowControl code) { return TextOf(kRTSTexts, code); }

TBaudRateCode BaudRateFromText(const QString& text) { return CodeOf(kBaudTexts, text, 7); }
TStopBitsCode StopBitsFromText(const QString& text) { return CodeOf(kStopBitsTexts, text, 0); }
TDataBitsCode DataBitsFromText(const QString& text) { return CodeOf(kDataBitsTexts, text, 3); }
TParityBits ParityFromText(const QString& text) {
  return static_cast<TParityBits>(CodeOf(kParityTexts, text, prNone));
}
TFlowControl FlowControlFromText(const QString& text) {
  return static_cast<TFlowControl>(CodeOf(kFlowTexts, text, fcCustom));
}
TDTRFlowControl DTRFromText(const QString& text) {
  return static_cast<TDTRFlowControl>(CodeOf(kDTRTexts, text, dtrDisable));
}
TRTSFlowControl RTSFromText(const QString& text) {
  return static_cast<TRTSFlowControl>(CodeOf(kRTSTexts, text, rtsDisable));
}

QStringList BaudRateTexts() { return AllOf(kBaudTexts); }
QStringList DataBitsTexts() { return AllOf(kDataBitsTexts); }
QStringList StopBitsTexts() { return AllOf(kStopBitsTexts); }
QStringList ParityTexts() { return AllOf(kParityTexts); }
QStringList FlowControlTexts() { return AllOf(kFlowTexts); }

int BaudRateOfCode(TBaudRateCode code) {
  if (code < 1 || code >= static_cast<int>(kBaudTexts.size())) return 0;
  return QString::fromLatin1(kBaudTexts[static_cast<size_t>(code)]).toInt();
}
