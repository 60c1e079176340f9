#pragma once
// The printed settings report: plain lines in the words of the settings pages.
// What both programs share lives here, the sections they print alike included;
// each program's lines are a builder of its own (settingsreport_w830.cpp,
// settingsreport_w840.cpp) written with TReportWriter.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <string>

class TSettingsModel;
namespace settings {
struct TSerialPort;
}

// Where a report reads what the model does not hold: the item lists of the pages'
// boxes and the current texts of a few controls, both by object name.
class TReportSources {
 public:
  virtual ~TReportSources() = default;
  virtual QStringList Items(const QString& box) const = 0;
  virtual QString Text(const QString& control) const = 0;
};

// Division size of each resolution index, in display counts.
inline constexpr int32_t ResolutionSteps[] = {1, 2, 5, 10, 20, 50, 100};

// Appends report lines and turns settings into the words and numbers they print as.
class TReportWriter {
 public:
  TReportWriter(const TReportSources& sources, int decimals, QChar decimalChar, QStringList& lines)
      : sources_(sources), decimals_(decimals), decimalChar_(decimalChar), lines_(lines) {}

  void Line(const QString& text) { lines_ << text; }
  // The pattern with %1, %2 ... replaced in one pass, so a value holding "%1" stays as it is.
  template <class... Values>
  void Line(const QString& pattern, const Values&... values) {
    lines_ << pattern.arg(values...);
  }

  // The item of a box at a stored value; a value with no item prints as its number,
  // so one odd setting cannot cost the whole report.
  QString Item(const char* box, int32_t value) const;
  QString Text(const char* control) const { return sources_.Text(QString::fromLatin1(control)); }
  // A value in display counts with the model's decimals.
  QString Scaled(int32_t value) const { return Fixed(value, decimals_); }
  QString Fixed(int32_t value, int decimals) const;
  // The division size of a resolution index, scaled; an index past the table prints as itself.
  QString Step(int32_t resolution) const;
  static QString Number(int32_t value) { return QString::number(value); }
  static QString Latin1(const std::string& text);

 private:
  const TReportSources& sources_;
  int decimals_;
  QChar decimalChar_;
  QStringList& lines_;
};

// Runs a program's report builder over model, lines cleared first.
template <class Model>
void BuildReport(void (*build)(const Model&, TReportWriter&), const Model& model, const TReportSources& sources,
                 QChar decimalChar, QStringList& lines) {
  lines.clear();
  TReportWriter writer(sources, model.DecimalPoint, decimalChar, lines);
  build(model, writer);
}

// The sections both programs print alike. The head: the instrument line (model names
// the indicator, "W830" or "W840"), the address, and the Build section up to the
// synch frequency.
void ReportHeadAndBuild(const TSettingsModel& m, const char* model, TReportWriter& r);
// An empty line and the Option section.
void ReportOptions(const TSettingsModel& m, TReportWriter& r);
// The Ethernet section up to the second name server.
void ReportEthernetAddresses(const TSettingsModel& m, TReportWriter& r);
// The eight remote inputs' line, from the first of them.
void ReportRemoteInputs(const int32_t* inputs, TReportWriter& r);
// A serial port's line: its number and its eight settings in the serial boxes' words.
void ReportSerialPort(int port, const settings::TSerialPort& p, TReportWriter& r);
// The printer lines from the mode to the format; the W830 sets each label one
// blank further in than the W840 does (extraIndent), the further header lines not.
void ReportPrinting(const TSettingsModel& m, bool extraIndent, TReportWriter& r);
