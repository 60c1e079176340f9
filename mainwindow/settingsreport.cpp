#include "mainwindow/settingsreport.h"

#include <iterator>

#include "protocol/tools.h"

QString TReportWriter::Item(const char* box, int32_t value) const {
  const QStringList items = sources_.Items(QString::fromLatin1(box));
  return value >= 0 && value < items.size() ? items[value] : Number(value);
}

QString TReportWriter::Fixed(int32_t value, int decimals) const {
  return Latin1(IntToFixedStr(value, decimals, decimalChar_.toLatin1()));
}

QString TReportWriter::Step(int32_t resolution) const {
  if (resolution < 0 || resolution >= static_cast<int32_t>(std::size(ResolutionSteps))) return Number(resolution);
  return Scaled(ResolutionSteps[resolution]);
}

QString TReportWriter::Latin1(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}
