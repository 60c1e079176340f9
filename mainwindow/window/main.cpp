#include "mainwindow/window/main.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QStatusBar>
#include <algorithm>
#include <cctype>

#include "components/ProgramHelp.h"
#include "dialogs/option.h"
#include "link/IOIfaceNull.h"
#include "link/dmViewer.h"
#include "link/logging.h"
#include "mainwindow/fields/decimalpointlist.h"
#include "mainwindow/settings/settingspagescore.h"
#include "mainwindow/window/aspectlayout.h"
#include "mainwindow/window/statuspanel.h"
#include "mainwindow/window/statustextpanel.h"
#include "mimic/voxMimicDisp.h"
#include "platform/exepath.h"
#include "platform/guard.h"
#include "platform/prompter.h"
#include "ui_main.h"

TFrmMain* FrmMain = nullptr;

namespace {
constexpr int kMinWidth = 400;
constexpr int kPanelWidth = 140;
constexpr int kPanelHeight = 65;
constexpr TColor kLitSegments = 0x0000FFD0;
}  // namespace

namespace {

bool IsDisplayImage(const std::string& reply) {
  Tcommsobj parser;
  std::string segments;
  parser.ParseReply(reply, false, false);
  return parser.GetString(0, segments, 12, 100) &&
         std::all_of(segments.begin(), segments.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
}

// A weight reply: weight, decimals and status word A, each a number.
bool IsWeightSample(const std::string& reply) {
  Tcommsobj parser;
  parser.ParseReply(reply, false, false);
  int32_t value = 0;
  for (int field = 0; field < 3; ++field)
    if (!parser.GetInteger(field, value, -999999, 999999)) return false;
  return true;
}

TReplyShape PollShape(const std::string& command) {
  if (command == "FPL?;") return IsDisplayImage;
  if (command.ends_with("MSV?;")) return IsWeightSample;
  return {};
}

}  // namespace

// The poller's view of the window: the link and the send path, whose account
// a poll waits on like any other command.
class TFrmMain::TPollLink final : public TPoller::THost {
 public:
  explicit TPollLink(TFrmMain& window) : w_(window) {}
  bool LinkActive() const override { return w_.LinkActive(); }
  bool MaySend(const std::string& command) const override {
    return w_.ledger_.ClearFor(TReplyOwner::kPoll, command);
  }
  void SendCommand(const std::string& command) override {
    w_.SendCommand(command, false, TReplyOwner::kPoll, -1, PollShape(command));
  }

 private:
  TFrmMain& w_;
};

// A click or a key anywhere in the program starts a new action of the technician's:
// requests go out again after one went unanswered.
class TFrmMain::TActionWatch final : public QObject {
 public:
  explicit TActionWatch(TFrmMain& window) : QObject(&window), w_(window) { qApp->installEventFilter(this); }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::KeyPress) w_.engine_.NewAction();
    return false;
  }

 private:
  TFrmMain& w_;
};

TFrmMain::TFrmMain(const TViewerVariant& variant, QWidget* parent)
    : QMainWindow(parent),
      variant_(variant),
      ui_(std::make_unique<Ui::TFrmMain>()),
      workingData_(variant.MakeModel()),
      instrumentData_(variant.MakeModel()) {
  ui_->setupUi(this);
  FrmMain = this;
  FormCreate();
}

TFrmMain::~TFrmMain() {
  Shutdown();
  if (FrmMain == this) FrmMain = nullptr;
}

void TFrmMain::FormCreate() {
  setWindowTitle(variant_.Title());
  // Every window of the program, the About box's picture included, shows it.
  QApplication::setWindowIcon(variant_.Icon());
  LoadReplyTimeout();

  engine_.LinkActive = [this] { return LinkActive(); };
  engine_.Send = [this](const std::string& command, bool stxEtx, int timeoutTicks) {
    return SendCommand(command, stxEtx, TReplyOwner::kRequest, timeoutTicks);
  };
  engine_.LinkClear = [this] { return ledger_.Clear(); };
  engine_.GiveUp = [this](std::uint64_t entry) { ledger_.GiveUp(entry); };
  engine_.ShowNotResponding = [] { Prompter().ShowMessage(QStringLiteral("Instrument Not Responding")); };
  engine_.BusyChanged = [this] { PushPollState(); };
  engine_.ShowFailure = [](const std::string& message) {
    Prompter().MessageDlg(QString::fromLatin1(message.c_str()), TMsgDlgType::mtError, mbOK);
  };
  engine_.Context().model = workingData_.get();
  new TActionWatch(*this);
  framer_.OnReply = [this](const std::string& reply, char mark) {
    CommsLogData("", true, reply + mark);
    DispatchReply(reply);
  };
  framer_.OnTestLine = [this](const std::string& line) { AddTestLine(line); };
  framer_.OnOverflow = [](std::size_t kept) {
    CommsLog("TFrmMain.FIOInterfaceRxData: reply longer than " + std::to_string(kept) + " bytes dropped");
  };
  pollLink_ = std::make_unique<TPollLink>(*this);
  FPoller = variant_.MakePoller(*pollLink_);

  InstallLink(std::make_unique<TIOIfaceNull>());
  FIOInterface->OnConnect = nullptr;
  FIOInterface->OnDisconnect = nullptr;
  FClosing = false;

  CreateMimics();
  InstallProgramHelp(*this);
  CreateSettingsPages();
  CreateCalibrationPage();
  CreateLogPage();
  CreateStatusBar();
  ResetLink();
  SetPollMode(pmNone);

  ui_->PgCMain->setCurrentWidget(ui_->TSDisplay);
  FCalBusy = false;
  FAddress = 99;
  FInSync = false;
  FLogMode = lmOff;

  BindControls();
  SetConnected(false);
  const bool point = !datViewer || datViewer->GetDecimalPointChar() == '.';
  ui_->mnuDPPoint->setChecked(point);
  ui_->mnuDPComma->setChecked(!point);
  ApplyDecimalPoint();
  if (datViewer && datViewer->GetCommsLoggingEnabled()) CommsLoggingInit(datViewer->GetCommsLoggingFile());

  Timer1.setInterval(10);
  Timer1.setTimerType(Qt::PreciseTimer);
  connect(&Timer1, &QTimer::timeout, this, [this] { Guarded([this] { Timer1Timer(); }); });
  ticksStarted_ = true;
  ScheduleTicks();
  // A page change before any read then stores real values, not empty controls.
  settingsPages_->SettingsToControls(false);
  PushPollState();
}

void TFrmMain::CreateMimics() {
  const QString background = SideFileDir() + (datViewer ? datViewer->GetBackgroundImage() : QString());
  const QRect lcd = variant_.LcdRect();
  auto make = [&](QWidget* parent, bool keys) {
    auto* mimic = new TVoxMimicDisp(parent);
    mimic->setObjectName(keys ? QStringLiteral("DisplayMimic") : QStringLiteral("CalMimic"));
    mimic->LCD().OnColor = kLitSegments;
    mimic->SetLCDTop(lcd.top());
    mimic->SetLCDLeft(lcd.left());
    mimic->SetLCDWidth(lcd.width());
    mimic->SetLCDHeight(lcd.height());
    mimic->SetBackgroundFile(background);
    mimic->SetLCDFile(ProgramSideFile(QStringLiteral("lcd.VB2")));
    if (keys) mimic->SetKeyFile(ProgramSideFile(QStringLiteral("key.VB2")));
    return mimic;
  };
  displayMimic_ = make(ui_->TSDisplay, true);
  static_cast<QBoxLayout*>(ui_->TSDisplay->layout())->insertWidget(0, displayMimic_, 1);
  displayMimic_->Buttons().OnKeyPressed = [this](TVoxLCDButtons*, int key, int holdMs) { LCDButtonPress(key, holdMs); };
  // A held key is released on the ticks.
  displayMimic_->Buttons().OnKeyDown = [this](TVoxLCDButtons*, int) { ScheduleTicks(); };
  calMimic_ = make(ui_->pnlDispCal, false);
  // The Calibration page's panel keeps the Display page's proportions too.
  auto* calLayout = new TAspectLayout(ui_->pnlDispCal, kPanelWidth, kPanelHeight);
  calLayout->setContentsMargins(0, 0, 0, 0);
  calLayout->addWidget(calMimic_);
}

void TFrmMain::CreateStatusBar() {
  // Every command and reply lands in panels 0 and 1: fixed in both directions, a new
  // text only repaints its panel instead of laying the status bar out again.
  auto panel = [this](const char* name) {
    auto* text = new TStatusTextPanel(this);
    text->setObjectName(QLatin1String(name));
    text->setFixedSize(150, text->fontMetrics().height());
    return text;
  };
  statusCommand_ = panel("StatusPanel0");
  statusReply_ = panel("StatusPanel1");
  statusLine_ = new TStatusLinePanel(this);
  statusLine_->setObjectName(QStringLiteral("StatusPanel2"));
  ui_->StatusBar->addWidget(statusCommand_);
  ui_->StatusBar->addWidget(statusReply_);
  ui_->StatusBar->addWidget(statusLine_, 1);
}

void TFrmMain::BindControls() {
  auto guarded = [this](void (TFrmMain::*handler)()) { return [this, handler] { Guarded([&] { (this->*handler)(); }); }; };
  connect(ui_->Exit1, &QAction::triggered, this, [this] { close(); });
  connect(ui_->Open1, &QAction::triggered, this, guarded(&TFrmMain::Open1Click));
  connect(ui_->Save1, &QAction::triggered, this, guarded(&TFrmMain::Save1Click));
  connect(ui_->Print1, &QAction::triggered, this, guarded(&TFrmMain::Print1Click));
  connect(ui_->ToolButton1, &QToolButton::clicked, ui_->Open1, &QAction::trigger);
  connect(ui_->ToolButton2, &QToolButton::clicked, ui_->Save1, &QAction::trigger);
  connect(ui_->MnuOptions, &QAction::triggered, this, guarded(&TFrmMain::ShowOptions));
  connect(ui_->Connect2, &QAction::triggered, this, guarded(&TFrmMain::Connect2Click));
  connect(ui_->ToolButton4, &QToolButton::clicked, this, guarded(&TFrmMain::Connect2Click));
  connect(ui_->MnuDeviceFinder, &QAction::triggered, this, guarded(&TFrmMain::MnuDeviceFinderClick));
  connect(ui_->ToolButton5, &QToolButton::clicked, ui_->MnuDeviceFinder, &QAction::trigger);
  connect(ui_->ReadSettings1, &QAction::triggered, this, guarded(&TFrmMain::ReadSettings1Click));
  connect(ui_->WriteSettings1, &QAction::triggered, this, guarded(&TFrmMain::WriteSettings1Click));
  connect(ui_->ToolButton6, &QToolButton::clicked, ui_->ReadSettings1, &QAction::trigger);
  connect(ui_->ToolButton7, &QToolButton::clicked, ui_->WriteSettings1, &QAction::trigger);
  connect(ui_->mnuDPPoint, &QAction::triggered, this, [this] {
    ui_->mnuDPPoint->setChecked(true);
    ui_->mnuDPComma->setChecked(false);
    if (datViewer) datViewer->SetDecimalPointChar('.');
    Guarded([this] { ApplyDecimalPoint(); });
  });
  connect(ui_->mnuDPComma, &QAction::triggered, this, [this] {
    ui_->mnuDPComma->setChecked(true);
    ui_->mnuDPPoint->setChecked(false);
    if (datViewer) datViewer->SetDecimalPointChar(',');
    Guarded([this] { ApplyDecimalPoint(); });
  });
  connect(ui_->PgCMain, &QTabWidget::currentChanged, this, guarded(&TFrmMain::PgCMainChange));
  connect(ui_->BtnSend, &QPushButton::clicked, this, guarded(&TFrmMain::BtnSendClick));
  connect(ui_->BtnClear, &QPushButton::clicked, this, guarded(&TFrmMain::BtnClearClick));
  connect(ui_->CbStxEtx, &QCheckBox::clicked, this, [this] { ui_->EdtSendStr->setFocus(); });
  ui_->EdtSendStr->installEventFilter(this);
  ui_->TSDisplay->installEventFilter(this);
}

void TFrmMain::ShowOptions() {
  if (datViewer) {
    TfrmOptions options(*datViewer, this);
    Prompter().ExecDialog(options);
    LoadReplyTimeout();
  }
}

void TFrmMain::ApplyDecimalPoint() {
  const QChar separator = datViewer ? datViewer->GetDecimalPointChar() : QChar('.');
  settingsPages_->SetDecimalChar(separator);
  if (auto* list = findChild<QComboBox*>(QStringLiteral("CBxDP"))) FillDecimalPointList(*list, separator);
  ui_->Chart->Model().SetDecimalChar(separator);
  settingsPages_->RefreshScaledFields();
}

void TFrmMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (datViewer && datViewer->GetFirstRun() && !event->spontaneous())
    QTimer::singleShot(0, this, [this] { Guarded([this] { ShowOptions(); }); });
}

void TFrmMain::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (width() < kMinWidth) resize(kMinWidth, height());
}

// Keeps the front panel at 140:65: the filler below it takes the rest of the page,
// and a page too low for the panel makes the window grow.
void TFrmMain::FormResize() {
  const int panelHeight = ui_->TSDisplay->width() * kPanelHeight / kPanelWidth;
  const int pageHeight = ui_->TSDisplay->height();
  if (pageHeight < panelHeight) {
    ui_->pnlDispFill->setFixedHeight(0);
    resize(width(), height() + panelHeight - pageHeight);
  } else {
    ui_->pnlDispFill->setFixedHeight(pageHeight - panelHeight);
  }
}

void TFrmMain::closeEvent(QCloseEvent* event) {
  FClosing = true;
  Shutdown();
  event->accept();
}

void TFrmMain::Shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  FClosing = true;
  Timer1.stop();
  engine_.Abort();
  FPoller->Stop();
  if (FIOInterface) {
    FIOInterface->Unbind();
    FIOInterface->Close();
  }
  CommsLoggingDestroy();
}

// Enter in the Test page's edit sends; the Display page's size sets the panel's.
bool TFrmMain::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui_->EdtSendStr && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      Guarded([this] { BtnSendClick(); });
      return true;
    }
  }
  if (watched == ui_->TSDisplay && event->type() == QEvent::Resize) FormResize();
  return QMainWindow::eventFilter(watched, event);
}
