#pragma once
// The W830 viewer's main window. The form wires widgets to small classes without
// widgets that hold the logic: the reply framer, the request engine and the poll
// thread. Its own code is split by concern: main.cpp (life cycle and menus),
// main_link.cpp (send path, receive path, connection), main_request.cpp (requests,
// reply handlers, the 10 ms timer), main_display.cpp (pages, front panel, status
// line), main_test.cpp (the Test page).
#include <QMainWindow>
#include <QTimer>
#include <memory>
#include <string>

#include "mainwindow/pollmode.h"
#include "mainwindow/pollthread.h"
#include "mainwindow/replyframer.h"
#include "mainwindow/requestengine.h"
#include "protocol/comms.h"
#include "protocol/database.h"

class QComboBox;
class QLabel;
class QToolButton;
class TIOIface;
class TVoxMimicDisp;

namespace Ui {
class TFrmMain;
}

class TFrmMain : public QMainWindow {
  Q_OBJECT

 public:
  static constexpr const char* kTitle = "Velmacor W830 Viewer";

  explicit TFrmMain(QWidget* parent = nullptr);
  ~TFrmMain() override;

  // --- Send path and receive path ---
  // Sends one command (GUI thread); nothing happens on an inactive link or for an empty text.
  void SendCommand(const std::string& text, bool stxEtx);
  void FIOInterfaceRxData(const std::string& data);
  void DispatchReply(const std::string& reply);
  void AddTestLine(const std::string& line);

  // --- Requests ---
  bool Request(const std::string& command, bool stxEtx, int timeoutTicks, TReplyHandler handler,
               const std::string& prefix);
  bool Query(const std::string& command, bool stxEtx, TReplyHandler handler, const std::string& prefix);
  void DelayTicks(int n);
  void ResetLink();
  void Timer1Timer();
  // The reply handler family; each returns the handler to give Request.
  TReplyHandler AckReply();
  TReplyHandler SetReply();
  TReplyHandler IntegerReply();
  TReplyHandler CalStatusReply();
  TReplyHandler WfpReply();
  TReplyHandler LinPointReply();
  TReplyHandler ClearWaitReply();

  // --- Connection ---
  void ConnectInstrument();
  // Installs a new, closed link, binds its events and opens it (the dialog's path
  // and the device finder's).
  void InstallLink(std::unique_ptr<TIOIface> link);
  void SetConnected(bool on);
  bool Connected() const { return connected_; }
  TIOIface& IOInterface() const { return *FIOInterface; }

  // --- Display page, keys and status line ---
  void StartDisplay();
  void StartPollThread();
  void BlankDisplay(bool allOn);
  void LCDButtonPress(int key, int holdMs);
  void PgCMainChange();
  void UpdateStatusLine();
  TVoxMimicDisp& DisplayMimic() const { return *displayMimic_; }
  TVoxMimicDisp& CalibrationMimic() const { return *calMimic_; }
  QString StatusPanelText(int panel) const;
  void SetPollMode(TPollMode mode);
  TPollMode PollMode() const { return FPollMode; }

  // --- Menus ---
  void ShowOptions();
  void ApplyDecimalPoint();

  // --- State shared with the settings, calibration and log code ---
  int FAddress = 99;
  int FReplyTimeout = 70;
  int32_t FReplyValue = 0;
  int32_t FCalStatus = 0;
  int FLcdBlankTicks = 0;
  bool FInSync = false;
  TLogMode FLogMode = lmOff;
  bool FClosing = false;
  void SetCalBusy(bool on);
  void SetTransferBusy(bool on);
  void SetLogMode(TLogMode mode);
  Tcommsobj Parser;
  w830::Tdata7400 WorkingModel;
  w830::Tdata7400 InstrumentModel;
  TPollStatusThread& PollThread() { return *FPollThread; }

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void FormCreate();
  void FormShow();
  void FormResize();
  void FormCloseQuery();
  void Shutdown();
  void CreateToolBar();
  void CreateStatusBar();
  void CreateMimics();
  void BindMenus();
  void BindTestPage();
  void FIOInterfaceConnect(TIOIface* sender);
  void FIOInterfaceDisconnect(TIOIface* sender);
  // The poll thread's send, run on the GUI thread.
  void SendPoll(const std::string& command);
  void ReplyTimedOut();
  void SetStatusPanel(int panel, const QString& text);
  void StatusBarDrawPanel();
  void BtnSendClick();
  void BtnClearClick();

  std::unique_ptr<Ui::TFrmMain> ui_;
  std::unique_ptr<TIOIface> FIOInterface;
  TReplyFramer framer_;
  TRequestEngine engine_;
  std::unique_ptr<TPollStatusThread> FPollThread;
  QTimer Timer1;
  TVoxMimicDisp* displayMimic_ = nullptr;
  TVoxMimicDisp* calMimic_ = nullptr;
  QToolButton* ToolButton4 = nullptr;
  QToolButton* ToolButton6 = nullptr;
  QToolButton* ToolButton7 = nullptr;
  QLabel* statusPanels_[3] = {};
  TPollMode FPollMode = pmNone;
  bool FCalBusy = false;
  bool FTransferBusy = false;
  bool connected_ = false;
  bool shown_ = false;
  bool shutDown_ = false;
};

// The one main window of the running program, or nullptr.
extern TFrmMain* FrmMain;

// Fills the decimal-places list ("123456", "12345 . 6" ... "1 . 23456" with the given
// separator) and keeps its selection, which is the number of decimal places.
void FillDecimalPointList(QComboBox& list, QChar separator);
