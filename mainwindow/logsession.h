#pragma once
// Weight logging and the chart's behaviour on the Log page, without widgets: the
// start and stop sequences, taking samples from weight replies (streamed or
// polled), the axis set-up, zoom, scrolling, the measuring cursors and the keys.
// The main window supplies the link, the dialogs and the settings through THost;
// what differs between the two viewers lives there. Times are seconds of the
// steady clock since the log started, so a change of the wall clock cannot fold
// the chart back.
#include <QRect>
#include <QString>
#include <array>
#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "mainwindow/loginfo.h"
#include "mainwindow/pollmode.h"
#include "protocol/comms.h"

class TChartModel;

// What the axis set-up reads from the settings model.
struct TChartInputs {
  int decimals = 0;                // decimal-point index 0..5
  bool highResolution = false;
  bool secondRangeScale = false;   // the weigh mode scales the axis by range 2
  int32_t fullScale1 = 0;
  int32_t fullScale2 = 0;
  QString unitsText = QStringLiteral("kg");
  int updateRate = 50;             // readings per second
};

// What the "Logging" dialog holds.
struct TLogChoice {
  int sampleIntervalMs = 0;  // 0: the indicator streams ("Auto")
  TLogMode mode = lmStreamed;
  std::array<int, TLogTraces::kChannels> sources{};
};

class TLogSession {
 public:
  using Clock = std::chrono::steady_clock;

  class THost {
   public:
    virtual ~THost() = default;
    virtual bool LinkActive() const = 0;
    virtual bool TransferBusy() const = 0;
    virtual std::string AddressPrefix() const = 0;
    // Shows the "Logging" dialog; true when it ended with OK.
    virtual bool AskLogSetup() = 0;
    virtual TLogChoice LogChoice() const = 0;
    virtual TChartInputs ChartInputs() const = 0;
    // A request answered "0" (AckReply), or a set command ("?" reported, SetReply).
    virtual bool QueryAck(const std::string& command) = 0;
    virtual bool QuerySet(const std::string& command) = 0;
    virtual void Send(const std::string& command) = 0;
    virtual void ShowMessage(const QString& text) = 0;
    virtual void Warn(const QString& text) = 0;
    virtual void SetBusyCursor(bool busy) = 0;
    // The log mode changed (or Start ended): buttons, polling and focus follow.
    virtual void LogModeChanged() = 0;
  };

  TLogSession(THost& host, TChartModel& chart);

  // The clock; tests set their own.
  std::function<Clock::time_point()> Now = [] { return Clock::now(); };

  TLogTraces& Traces() { return traces_; }
  const TLogTraces& Traces() const { return traces_; }
  TChartModel& Chart() { return traces_.Chart(); }
  TLogMode LogMode() const { return logMode_; }
  bool Cof12Supported() const { return cof12Supported_; }
  int ScaleDivisor() const { return scaleDivisor_; }
  int SampleInterval() const { return sampleInterval_; }
  double ScrollStep() const { return scrollStep_; }
  bool AutoScrollOff() const { return autoScrollOff_; }
  const QString& UnitsText() const { return unitsText_; }

  // --- Logging
  void BtnStartClick();
  void BtnStopClick();
  // Stops a running log as Stop does; nothing when none runs. The link going down
  // ends a log without a command.
  void StopLogging();
  void LinkLost();
  // The link is wanted for a settings transfer or a settings file's "WFP?": a
  // running stream is stopped (its samples drain ahead of the stop's answer, which
  // the next command waits for). True when one was; ResumeStream starts it again.
  bool PauseStream();
  void ResumeStream();
  // Every reply while the Log page gets them.
  void LogSample(const std::string& reply);
  // The text of the warning about channels that need "COF12;", or nothing.
  std::optional<QString> UnsupportedChannelsWarning() const;

  // --- Chart
  void SetupChart(bool full);
  void AutoScaleChart();
  void ChartDblClick();
  void ChartZoom();
  void ChartUndoZoom();
  // Returns the cursor label's new text.
  QString ChartMouseDown(bool leftButton, bool rightButton, bool shift, int x, int y);
  // The Log page's keys; false for a key it does not use.
  bool KeyDown(int key, bool shift);
  void ClearChart();
  // The chart set-up dialog's choices.
  void ApplyChartSetup(const QString& title, double start, double end, double minWeight, double maxWeight);

 private:
  void SelectLogFormat();
  void WarnUnsupportedChannels();
  void SetNextSampleDue(Clock::time_point now);
  void FillRepeats();
  void ZoomBy(double endsMove);
  QString CursorLabel() const;

  THost& host_;
  TLogTraces traces_;
  Tcommsobj parser_;
  TLogMode logMode_ = lmOff;
  bool cof12Supported_ = false;
  Clock::time_point logStart_{};
  double lastSampleTime_ = -1.0;
  Clock::time_point nextSampleDue_{};
  int sampleInterval_ = 0;
  int scaleDivisor_ = 1;
  double scrollStep_ = 50.0;
  bool autoScrollOff_ = false;
  QString unitsText_ = QStringLiteral("kg");
};

// Holds a running stream stopped for one operation (TLogSession::PauseStream).
class TStreamPause {
 public:
  explicit TStreamPause(TLogSession& session) : session_(session), paused_(session.PauseStream()) {}
  ~TStreamPause() {
    if (paused_) session_.ResumeStream();
  }
  TStreamPause(const TStreamPause&) = delete;
  TStreamPause& operator=(const TStreamPause&) = delete;

 private:
  TLogSession& session_;
  const bool paused_;
};

// Where the chart goes on a printed page: inset by a twentieth of the page width
// left and right and a tenth of its height at top and bottom.
QRect ChartPrintRect(int pageWidth, int pageHeight);
