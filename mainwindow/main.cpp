#include "mainwindow/main.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QToolBar>
#include <QToolButton>

#include "dialogs/option.h"
#include "link/IOIfaceNull.h"
#include "link/dmViewer.h"
#include "link/logging.h"
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
constexpr unsigned kLcdOnColor = 0x0000FFD0;
}  // namespace

void FillDecimalPointList(QComboBox& list, QChar separator) {
  const QSignalBlocker blocker(&list);
  const int index = list.currentIndex();
  list.clear();
  list.addItem(QStringLiteral("123456"));
  for (const char* format : {"12345 %1 6", "1234 %1 56", "123 %1 456", "12 %1 3456", "1 %1 23456"})
    list.addItem(QString::fromLatin1(format).arg(separator));
  list.setCurrentIndex(index);
}

TFrmMain::TFrmMain(QWidget* parent)
    : QMainWindow(parent),
      ui_(std::make_unique<Ui::TFrmMain>()),
      FPollThread(std::make_unique<TPollStatusThread>([this](const std::string& command) {
        QMetaObject::invokeMethod(this, [this, command] { SendPoll(command); }, Qt::QueuedConnection);
      })) {
  FrmMain = this;
  ui_->setupUi(this);
  FormCreate();
}

TFrmMain::~TFrmMain() {
  Shutdown();
  if (FrmMain == this) FrmMain = nullptr;
}

void TFrmMain::FormCreate() {
  setWindowTitle(QString::fromLatin1(kTitle));
  FIOInterface = std::make_unique<TIOIfaceNull>();
  FIOInterface->OnRxData = [this](const std::string& data) { FIOInterfaceRxData(data); };
  FClosing = false;

  CreateToolBar();
  CreateStatusBar();
  CreateMimics();
  BindMenus();
  BindTestPage();

  framer_.OnReply = [this](const std::string& reply, char mark) {
    CommsLogData("", true, reply + mark);
    DispatchReply(reply);
  };
  framer_.OnTestLine = [this](const std::string& line) { AddTestLine(line); };
  framer_.OnOverlong = [](std::size_t kept) {
    CommsLog("TFrmMain.FIOInterfaceRxData: reply longer than " + std::to_string(kept) + " bytes dropped");
  };
  engine_.LinkActive = [this] { return FIOInterface->GetActive(); };
  engine_.Send = [this](const std::string& command, bool stxEtx) { SendCommand(command, stxEtx); };
  engine_.PollOutstanding = [this] { return FPollThread->ThreadWaiting(); };
  engine_.OnTimeout = [this] { ReplyTimedOut(); };
  engine_.OnWaitingChanged = [this](bool waiting) { FPollThread->SetWaiting(waiting); };

  FReplyTimeout = datViewer ? datViewer->GetTimeout() : 70;
  ResetLink();
  SetPollMode(pmNone);

  ui_->PgCMain->setCurrentWidget(ui_->TSDisplay);
  FCalBusy = false;
  FAddress = 99;
  FInSync = false;
  FLogMode = lmOff;

  connect(ui_->PgCMain, &QTabWidget::currentChanged, this, [this] { Guarded([this] { PgCMainChange(); }); });
  Timer1.setInterval(10);
  connect(&Timer1, &QTimer::timeout, this, [this] { Guarded([this] { Timer1Timer(); }); });
  Timer1.start();

  SetConnected(false);
  const bool point = !datViewer || datViewer->GetDecimalPointChar() == QLatin1Char('.');
  (point ? ui_->mnuDPPoint : ui_->mnuDPComma)->setChecked(true);
  ApplyDecimalPoint();
  if (datViewer && datViewer->GetCommsLoggingEnabled()) CommsLoggingInit(datViewer->GetCommsLoggingFile());
}

void TFrmMain::CreateToolBar() {
  const auto add = [this](const char* name) {
    auto* button = new QToolButton(ui_->ToolBar1);
    button->setObjectName(QLatin1String(name));
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    ui_->ToolBar1->addWidget(button);
    return button;
  };
  ToolButton4 = add("ToolButton4");
  ToolButton6 = add("ToolButton6");
  ToolButton7 = add("ToolButton7");
  ToolButton6->setDefaultAction(ui_->ReadSettings1);
  ToolButton7->setDefaultAction(ui_->WriteSettings1);
  connect(ToolButton4, &QToolButton::clicked, this, [this] { Guarded([this] { ConnectInstrument(); }); });
}

void TFrmMain::CreateStatusBar() {
  for (int panel = 0; panel < 3; ++panel) {
    auto* label = new QLabel(ui_->StatusBar);
    label->setObjectName(QStringLiteral("StatusPanel%1").arg(panel));
    label->setAutoFillBackground(true);
    if (panel < 2) {
      label->setFixedWidth(150);
      ui_->StatusBar->addWidget(label);
    } else {
      label->setContentsMargins(30, 2, 0, 0);
      ui_->StatusBar->addWidget(label, 1);
    }
    statusPanels_[panel] = label;
  }
}

void TFrmMain::CreateMimics() {
  const QString background = ExecutableDir() + (datViewer ? datViewer->GetBackgroundImage() : QString());
  const QString lcdFile = ChangeFileExt(ExecutableFileName(), QStringLiteral("lcd.VB2"));
  const auto make = [&](QWidget* parent, const char* name) {
    auto* mimic = new TVoxMimicDisp(parent);
    mimic->setObjectName(QLatin1String(name));
    mimic->LCD().OnColor = kLcdOnColor;
    mimic->SetBackgroundFile(background);
    mimic->SetLCDFile(lcdFile);
    return mimic;
  };
  displayMimic_ = make(ui_->TSDisplay, "DisplayMimic");
  ui_->displayLayout->insertWidget(0, displayMimic_, 1);
  displayMimic_->SetKeyFile(ChangeFileExt(ExecutableFileName(), QStringLiteral("key.VB2")));
  displayMimic_->Buttons().OnKeyPressed = [this](TVoxLCDButtons*, int key, int holdMs) { LCDButtonPress(key, holdMs); };
  calMimic_ = make(ui_->pnlDispCal, "CalibrationMimic");
  ui_->calDisplayLayout->addWidget(calMimic_);
}

void TFrmMain::BindMenus() {
  const auto bind = [this](QAction* action, auto handler) {
    connect(action, &QAction::triggered, this, [this, handler] { Guarded([this, handler] { (this->*handler)(); }); });
  };
  bind(ui_->Connect2, &TFrmMain::ConnectInstrument);
  bind(ui_->MnuOptions, &TFrmMain::ShowOptions);
  connect(ui_->Exit1, &QAction::triggered, this, &QWidget::close);
  auto* decimalPoint = new QActionGroup(this);
  decimalPoint->addAction(ui_->mnuDPPoint);
  decimalPoint->addAction(ui_->mnuDPComma);
  const auto choose = [this](QAction* item, QChar separator) {
    connect(item, &QAction::triggered, this, [this, item, separator] {
      Guarded([&] {
        item->setChecked(true);
        if (datViewer) datViewer->SetDecimalPointChar(separator);
        ApplyDecimalPoint();
      });
    });
  };
  choose(ui_->mnuDPPoint, QLatin1Char('.'));
  choose(ui_->mnuDPComma, QLatin1Char(','));
}

void TFrmMain::ShowOptions() {
  if (!datViewer) return;
  TfrmOptions options(*datViewer, this);
  Prompter().ExecDialog(options);
  FReplyTimeout = datViewer->GetTimeout();
  FPollThread->SetReplyTimeout(FReplyTimeout);
}

void TFrmMain::ApplyDecimalPoint() {
  auto* list = findChild<QComboBox*>(QStringLiteral("CBxDP"));
  if (list) FillDecimalPointList(*list, datViewer ? datViewer->GetDecimalPointChar() : QLatin1Char('.'));
}

void TFrmMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_) return;
  shown_ = true;
  QTimer::singleShot(0, this, [this] { Guarded([this] { FormShow(); }); });
}

void TFrmMain::FormShow() {
  if (datViewer && datViewer->GetFirstRun()) ShowOptions();
}

void TFrmMain::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  FormResize();
}

void TFrmMain::FormResize() {
  if (width() < kMinWidth) {
    resize(kMinWidth, height());
    return;
  }
  const int panelHeight = ui_->TSDisplay->width() * kPanelHeight / kPanelWidth;
  const int available = ui_->TSDisplay->height();
  if (available < panelHeight) {
    ui_->pnlDispFill->setFixedHeight(0);
    resize(width(), height() + panelHeight - available);
  } else {
    ui_->pnlDispFill->setFixedHeight(available - panelHeight);
  }
}

void TFrmMain::closeEvent(QCloseEvent* event) {
  FormCloseQuery();
  event->accept();
}

void TFrmMain::FormCloseQuery() {
  FClosing = true;
  engine_.Abort();
}

void TFrmMain::Shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  FClosing = true;
  engine_.Abort();
  Timer1.stop();
  FPollThread->Stop();
  FIOInterface->UnbindEvents();
  FIOInterface->Close();
  CommsLoggingDestroy();
}
