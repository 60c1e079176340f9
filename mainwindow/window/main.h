#pragma once
// The main window of both viewers. It owns the link to the indicator and wires the
// small classes that do the work: the reply framer, the request engine, the poller
// and the front-panel mimics; what differs between the W830 and the W840 comes from
// its TViewerVariant. Its own code is split by concern over the main_*.cpp files.
// Only the GUI thread touches it.
#include <QMainWindow>
#include <QStringList>
#include <QTimer>
#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "link/IOIface.h"
#include "link/replyledger.h"
#include "mainwindow/calibration/calibrationsteps.h"
#include "mainwindow/logging/logsession.h"
#include "mainwindow/settings/settingstransfer.h"
#include "mainwindow/window/viewervariant.h"
#include "mainwindow/wire/poller.h"
#include "mainwindow/wire/pollmode.h"
#include "mainwindow/wire/replyframer.h"
#include "mainwindow/wire/requestengine.h"
#include "protocol/comms.h"
#include "protocol/settingsmodel.h"

namespace Ui {
class TFrmMain;
}
class QKeyEvent;
class TCalibrationPage;
class QPrinter;
class TFrmTraffic;
class TSettingsPagesCore;
class TStatusLinePanel;
class TStatusTextPanel;
struct TTcpChoice;
class TVoxMimicDisp;

class TFrmMain : public QMainWindow {
  Q_OBJECT
 public:
  // Reads the settings store, which must exist first.
  explicit TFrmMain(const TViewerVariant& variant, QWidget* parent = nullptr);
  ~TFrmMain() override;

  const TViewerVariant& Variant() const { return variant_; }

  Ui::TFrmMain& Form() { return *ui_; }

  // --- Link and send path
  // Sends one command on the active link; nothing when it is down or the text empty.
  // A command that gets a reply enters the link's account for its owner, with
  // this time-out in ticks (-1: the reply time-out; 0: only its owner ends the
  // wait). Returns its entry, or 0 when no reply is owed or nothing was sent.
  std::uint64_t SendCommand(const std::string& text, bool stxEtx, TReplyOwner owner = TReplyOwner::kOther,
                            int timeoutTicks = -1, TReplyShape fits = {});
  // Pumps events until no reply is owed to an earlier command (each is answered
  // or waited out); false when the link went.
  bool WaitLinkClear();
  TReplyLedger& ReplyLedger() { return ledger_; }
  // Bound to the link's OnRxData: cuts the stream into replies.
  void FIOInterfaceRxData(const std::string& data);
  void DispatchReply(const std::string& reply);
  TIOIface& Link() { return *FIOInterface; }
  bool LinkActive() const;

  // --- Requests (see TRequestEngine)
  bool Request(const std::string& command, bool stxEtx, int timeoutTicks, const TReplyHandler& handler,
               const std::string& prefix = {});
  bool Query(const std::string& command, bool stxEtx, const TReplyHandler& handler, const std::string& prefix = {});
  bool DelayTicks(int n);
  void ResetLink();
  int32_t FReplyValue() { return engine_.Context().replyValue; }
  int32_t FCalStatus() { return engine_.Context().calStatus; }
  int ReplyTimeout() const { return FReplyTimeout; }
  void Timer1Timer();
  // Timer1 ticks every 10 ms, rather than sleeping until the LCD's next deadline.
  bool Ticking() const;

  // --- Polling, modes and pauses
  TPollMode PollMode() const { return FPollMode; }
  void SetPollMode(TPollMode mode);
  TLogMode LogMode() const { return FLogMode; }
  void SetLogMode(TLogMode mode);
  void SetCalBusy(bool busy);
  void SetTransferBusy(bool busy);
  // Polling runs again where the page wants it (the W830's poll thread; the W840's
  // timer needs no start).
  void StartPollThread();
  TPoller& Poller() { return *FPoller; }

  // --- Connection, display and status line
  void Connect2Click();
  // With a choice (the device finder's), the connection dialog opens on TCP to it.
  void ConnectInstrument(const TTcpChoice* choice = nullptr);
  void MnuDeviceFinderClick();
  void SetConnected(bool on);
  void StartDisplay();
  void BlankDisplay(bool allOn);
  void LCDButtonPress(int key, int holdMs);
  void PgCMainChange();
  void UpdateStatusLine();
  bool Connected() const { return connected_; }
  int Address() const { return FAddress; }
  bool InSync() const { return FInSync; }
  void SetInSync(bool inSync);
  QString StatusPanelText(int panel) const;
  TVoxMimicDisp& DisplayMimic() { return *displayMimic_; }
  TVoxMimicDisp& CalMimic() { return *calMimic_; }

  // --- Settings models, pages and transfer
  TSettingsModel& WorkingData() { return *workingData_; }
  TSettingsModel& InstrumentData() { return *instrumentData_; }
  TSettingsPagesCore& SettingsPages() { return *settingsPages_; }
  void ReadSettings1Click();
  void WriteSettings1Click();
  void CheckSettingsSync();

  // --- Calibration page (see TCalibrationSteps)
  TCalibrationPage& CalibrationPage() { return *calibrationPage_; }
  TCalibrationSteps& CalibrationSteps() { return *calibrationSteps_; }
  // Rebuilds the linearisation list from the working model in the units at this
  // index of the units list.
  void ShowLinearisation(int unitIndex);
  // Lays the page out for the working model's weigh mode: an indicator that
  // calibrates with absolute mV/V values in one of them shows what that mode uses.
  void ArrangeCalPage();

  // --- File menu: settings files and the settings report, or on the Log page the
  // weight log and the chart (main_file.cpp)
  void Open1Click();
  void Save1Click();
  void Print1Click();
  // The report of the working model in the pages' words, one line each.
  void SettingsReport(QStringList& list);

  // --- Log page: weight logging and the chart (main_log.cpp)
  TLogSession& LogSession() { return *logSession_; }
  void BtnStartClick();
  void BtnStopClick();
  // Stops a running log as Stop does (a stream ends with "STP;"); nothing when none runs.
  void StopLogging();
  void ClearChart1Click();
  void ChartSetupClick();
  void About1Click();
  // Help/Contents: the manual's contents page in the help window.
  void Contents1Click();
  // The Log page's File commands: the weight log file and the printed chart.
  void OpenLogFile(const QString& path);
  void SaveLogFile(const QString& path);
  void PrintChart(QPrinter& printer);

  // --- Test page
  void AddTestLine(const std::string& line);
  void BtnSendClick();
  void BtnClearClick();

  // --- Menus and life cycle
  void ShowOptions();
  void ApplyDecimalPoint();
  // Stops the poller, closes the link and the traffic log; safe to repeat.
  void Shutdown();

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormCreate();
  void CreateMimics();
  void CreateStatusBar();
  void BindControls();
  void FormResize();
  void FIOInterfaceConnect(TIOIface* sender);
  void FIOInterfaceDisconnect(TIOIface* sender);
  void InstallLink(std::unique_ptr<TIOIface> link);
  void PushPollState();
  // The 10 ms timer ticks while anything counts in ticks (a request's time-out, a
  // delay, an owed reply, a poll's turn, a held key) and otherwise sleeps until the
  // LCD's next deadline: a tick with nothing to do is never taken.
  void ScheduleTicks();
  bool TicksWanted() const;
  void StartTicking();
  // The Display LCD goes dark once FReplyTimeout ticks pass without a reply.
  void ArmLcdBlank();
  void RouteReply(const std::string& reply);
  // A stored time-out of 0 counts as one tick: a poll or a request that never
  // times out would hold the link for good.
  void LoadReplyTimeout();
  void ShowDisplayReply(TVoxMimicDisp& mimic);
  // A reply the account gives to no command: a stream sample, or a stray.
  void UnownedReply(const std::string& reply);
  void PollReply(const std::string& command, const std::string& reply);
  void LatePollReply(const std::string& command, const std::string& reply);
  void RefreshConnectButtons();
  class TSettingsHost;
  class TPollLink;
  class TActionWatch;
  void CreateSettingsPages();
  void SettingsPageLeft();
  void SettingsPageShown();
  // A running settings transfer gets every reply; a lost link cancels it.
  void RouteTrafficReply(const std::string& reply);
  void EndTraffic();
  class TCalibrationHost;
  void CreateCalibrationPage();
  int CalDecimals() const;
  bool LogPageShown() const;
  class TLogHost;
  void CreateLogPage();
  void UpdateLogButtons();
  bool LogPageKey(const QKeyEvent& key);

  const TViewerVariant& variant_;
  std::unique_ptr<Ui::TFrmMain> ui_;
  std::unique_ptr<TIOIface> FIOInterface;
  TReplyFramer framer_;
  TReplyLedger ledger_;
  TRequestEngine engine_;
  Tcommsobj parser_;
  std::unique_ptr<TSettingsModel> workingData_;
  std::unique_ptr<TSettingsModel> instrumentData_;
  std::unique_ptr<TPollLink> pollLink_;
  std::unique_ptr<TPoller> FPoller;
  TVoxMimicDisp* displayMimic_ = nullptr;
  TVoxMimicDisp* calMimic_ = nullptr;
  TStatusTextPanel* statusCommand_ = nullptr;
  TStatusTextPanel* statusReply_ = nullptr;
  TStatusLinePanel* statusLine_ = nullptr;
  TSettingsPagesCore* settingsPages_ = nullptr;
  std::unique_ptr<TSettingsTransfer::THost> settingsHost_;
  std::unique_ptr<TSettingsTransfer> settingsTransfer_;
  TFrmTraffic* FTraffic = nullptr;
  TCalibrationPage* calibrationPage_ = nullptr;
  std::unique_ptr<TCalibrationSteps::THost> calibrationHost_;
  std::unique_ptr<TCalibrationSteps> calibrationSteps_;
  std::unique_ptr<TLogSession::THost> logHost_;
  std::unique_ptr<TLogSession> logSession_;
  QTimer Timer1;

  using TickClock = std::chrono::steady_clock;
  std::optional<TickClock::time_point> lcdBlankAt_;  // none while disconnected
  TickClock::time_point lcdRepaintAt_{};             // the once-a-second repaint
  bool ticksStarted_ = false;
  bool FCalBusy = false;
  bool FTransferBusy = false;
  TPollMode FPollMode = pmNone;
  TLogMode FLogMode = lmOff;
  bool FInSync = false;
  int FReplyTimeout = 70;
  int FAddress = 99;
  bool FClosing = false;
  bool pollLinkActive_ = false;  // the link as the poller sees it: up once the window shows it connected
  bool connected_ = false;
  bool logHeldByPage_ = false;  // the page shown holds a streamed log's stream stopped
  bool shutDown_ = false;
};

// The one main window of the running program, or nullptr.
extern TFrmMain* FrmMain;
