#pragma once
// Weight logging and the chart's behaviour on the Log page, without widgets: the
// one owner of the log's state (whether a log runs, what the chart shows and where
// it came from) and of every change to it, taking samples from weight replies
// (streamed or polled), the axis set-up, zoom, scrolling, the measuring cursors and
// the keys. The page's buttons, the dialogs, the link, the File menu and anything
// that needs the link to itself change the log only through its transitions. The
// main window supplies the link, the dialogs and the settings through THost; what
// differs between the two viewers lives there. Times are seconds of the steady
// clock since the log started, so a change of the wall clock cannot fold the chart
// back.
#include <QRect>
#include <QString>
#include <array>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "mainwindow/logging/loginfo.h"
#include "mainwindow/wire/pollmode.h"
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

// What the "Logging" dialog held when it was last closed with OK.
struct TLogChoice {
  int sampleIntervalMs = 0;  // 0: the indicator streams ("Auto")
  TLogMode mode = lmStreamed;
  std::array<int, TLogTraces::kChannels> sources{};
};

// What the chart shows: nothing yet (its axes follow the settings), the samples of
// a log started here (running or not), or an opened weight log file.
enum class TLogContent { kNothing, kLiveLog, kOpenedFile };

class TLogSession {
 public:
  using Clock = std::chrono::steady_clock;

  class THost {
   public:
    virtual ~THost() = default;
    virtual bool LinkActive() const = 0;
    virtual std::string AddressPrefix() const = 0;
    // Shows the "Logging" dialog; true when it ended with OK.
    virtual bool AskLogSetup() = 0;
    // The dialog's choices, read only after it ended with OK.
    virtual TLogChoice LogChoice() const = 0;
    virtual TChartInputs ChartInputs() const = 0;
    // A request answered "0" (AckReply), or a set command ("?" reported, SetReply).
    virtual bool QueryAck(const std::string& command) = 0;
    virtual bool QuerySet(const std::string& command) = 0;
    // A request of this action got no answer and the technician was told so.
    virtual bool Unanswered() const = 0;
    virtual void Send(const std::string& command) = 0;
    // Sends "STP;" and returns once the lines the indicator streamed before it have
    // arrived, so that none of them passes for the reply to what is sent next.
    virtual void StopStream() = 0;
    virtual void ShowMessage(const QString& text) = 0;
    virtual void Warn(const QString& text) = 0;
    virtual void SetBusyCursor(bool busy) = 0;
    // The log's state changed: buttons and polling follow.
    virtual void LogModeChanged() = 0;
  };

  TLogSession(THost& host, TChartModel& chart);

  // The clock; tests set their own.
  std::function<Clock::time_point()> Now = [] { return Clock::now(); };

  TLogTraces& Traces() { return traces_; }
  const TLogTraces& Traces() const { return traces_; }
  TChartModel& Chart() { return traces_.Chart(); }
  TLogMode LogMode() const { return logMode_; }
  TLogContent Content() const { return content_; }
  // Start has been pressed and waits for the dialog or the indicator.
  bool Starting() const { return starting_; }
  // What the page's buttons offer now.
  bool StartEnabled() const { return host_.LinkActive() && logMode_ == lmOff && !starting_; }
  bool StopEnabled() const { return host_.LinkActive() && logMode_ != lmOff; }
  // The indicator streams for this log now: a streamed log that no hold stops.
  bool Streaming() const { return streamOn_; }
  bool Cof12Supported() const { return cof12Supported_; }
  int ScaleDivisor() const { return scaleDivisor_; }
  int SampleInterval() const { return sampleInterval_; }
  double ScrollStep() const { return scrollStep_; }
  bool AutoScrollOff() const { return autoScrollOff_; }
  const QString& UnitsText() const { return unitsText_; }

  // --- Transitions
  // A new log: the dialog, then the indicator's status format. The link going down
  // (or a file opened) meanwhile ends the start with no log running.
  void BtnStartClick();
  void BtnStopClick();
  // Stops a running log as Stop does; nothing when none runs.
  void StopLogging();
  // The link went down: a log ends without a command, and a start under way gives up.
  void LinkLost();
  // Ends a running log and shows the weight log file's lines in its place.
  void OpenLog(const std::vector<std::string>& lines);
  // The chart holds the settings' axes while it shows no log: on showing the Log
  // page and after settings were read or opened. A log or a file keeps its own.
  void FollowSettings();
  // The stream of a streamed log, held stopped: the first hold sends "STP;" and
  // drains what the indicator sent before it; the last release streams again when
  // the log still runs, or marks it stopped when the link cannot take the stream.
  // Holds nest; a polled log needs none (its polls stand still on their own).
  void HoldStream();
  void ReleaseStream();
  // A hold for as long as it lives, for whatever needs the link to itself (a
  // settings transfer, a calibration step, a file's queries).
  class TStreamHold {
   public:
    explicit TStreamHold(TLogSession& session) : session_(session) { session_.HoldStream(); }
    ~TStreamHold() { session_.ReleaseStream(); }
    TStreamHold(const TStreamHold&) = delete;
    TStreamHold& operator=(const TStreamHold&) = delete;

   private:
    TLogSession& session_;
  };

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
  // Empties the chart. While a log runs it goes on into the empty chart; otherwise
  // the chart shows nothing and takes the settings' axes again.
  void ClearChart();
  // The chart set-up dialog's choices.
  void ApplyChartSetup(const QString& title, double start, double end, double minWeight, double maxWeight);

 private:
  // The start begun at this count of link losses and file opens still stands.
  bool StartStands(unsigned startedAt) const { return startedAt == supersessions_ && host_.LinkActive(); }
  // A new content is shown unzoomed and scrolling.
  void ShowAfresh();
  void SetTimeRange(double min, double max);
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
  TLogContent content_ = TLogContent::kNothing;
  TLogChoice choice_;
  bool starting_ = false;
  unsigned supersessions_ = 0;
  int holds_ = 0;
  bool streamOn_ = false;
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

// Where the chart goes on a printed page: inset by a twentieth of the page width
// left and right and a tenth of its height at top and bottom.
QRect ChartPrintRect(int pageWidth, int pageHeight);
