// The Log page of the main window: its buttons, the chart's mouse and keys, the
// Edit and Help menu items that belong to it, and its File commands (the weight log
// file and the printed chart). The logging itself is TLogSession's.
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QTabBar>
#include <stdexcept>

#include "dialogs/ChartSetup.h"
#include "dialogs/about.h"
#include "dialogs/logdialog.h"
#include "link/dmViewer.h"
#include "mainwindow/logging/weightlogfile.h"
#include "mainwindow/window/main.h"
#include "mainwindow/wire/commandframe.h"
#include "platform/apphelp.h"
#include "platform/busycursor.h"
#include "platform/chart/chartpaint.h"
#include "platform/guard.h"
#include "platform/prompter.h"
#include "platform/textlines.h"
#include "ui_main.h"

namespace {

// The form sees the Log page's keys before its controls do.
class TKeyPreview final : public QObject {
 public:
  TKeyPreview(QObject* parent, std::function<bool(const QKeyEvent&)> onKey)
      : QObject(parent), onKey_(std::move(onKey)) {}
  bool eventFilter(QObject*, QEvent* event) override {
    return event->type() == QEvent::KeyPress && onKey_(*static_cast<QKeyEvent*>(event));
  }

 private:
  std::function<bool(const QKeyEvent&)> onKey_;
};

}  // namespace

// The main window's side of the weight log, as TLogSession asks for it: the link
// and its requests, the "Logging" dialog, the axis inputs from the settings model,
// and the stream's stop.
class TFrmMain::TLogHost final : public TLogSession::THost {
 public:
  explicit TLogHost(TFrmMain& window) : w_(window) {}

  bool LinkActive() const override;
  std::string AddressPrefix() const override;
  bool AskLogSetup() override;
  TLogChoice LogChoice() const override;
  TChartInputs ChartInputs() const override;
  bool QueryAck(const std::string& command) override;
  bool QuerySet(const std::string& command) override;
  bool Unanswered() const override;
  void Send(const std::string& command) override;
  void StopStream() override;
  void ShowMessage(const QString& text) override;
  void Warn(const QString& text) override;
  void SetBusyCursor(bool busy) override;
  void LogModeChanged() override;

 private:
  TFrmMain& w_;
};

bool TFrmMain::TLogHost::LinkActive() const { return w_.LinkActive(); }

std::string TFrmMain::TLogHost::AddressPrefix() const { return ::AddressPrefix(w_.FAddress); }

bool TFrmMain::TLogHost::AskLogSetup() { return FrmLogDialog && Prompter().ExecDialog(*FrmLogDialog) == mrOk; }

TLogChoice TFrmMain::TLogHost::LogChoice() const {
  TLogChoice choice;
  if (!FrmLogDialog) return choice;
  choice.sampleIntervalMs = FrmLogDialog->GetSampleInterval();
  choice.mode = static_cast<TLogMode>(FrmLogDialog->GetLogMode());
  for (int i = 0; i < TLogTraces::kChannels; ++i)
    choice.sources[static_cast<std::size_t>(i)] = FrmLogDialog->GetDigitalSource(i);
  return choice;
}

TChartInputs TFrmMain::TLogHost::ChartInputs() const { return w_.variant_.ChartInputs(*w_.workingData_); }

bool TFrmMain::TLogHost::QueryAck(const std::string& command) { return w_.Query(command, false, AckReply); }

bool TFrmMain::TLogHost::QuerySet(const std::string& command) { return w_.Query(command, false, SetReply); }

bool TFrmMain::TLogHost::Unanswered() const { return w_.engine_.Unanswered(); }

void TFrmMain::TLogHost::Send(const std::string& command) { w_.SendCommand(command, false); }

// The indicator answers "STP;" after the lines it streamed before it, so its answer
// closes the stream. Inside another request's wait the answer would be that
// request's: a reply time-out then lets the lines in flight arrive.
void TFrmMain::TLogHost::StopStream() {
  if (w_.engine_.Busy()) {
    w_.SendCommand("STP;", false);
    w_.DelayTicks(w_.FReplyTimeout);
    return;
  }
  w_.Query("STP;", false, AckReply);
}

void TFrmMain::TLogHost::ShowMessage(const QString& text) { Prompter().ShowMessage(text); }

void TFrmMain::TLogHost::Warn(const QString& text) { Prompter().MessageDlg(text, TMsgDlgType::mtWarning, mbOK); }

void TFrmMain::TLogHost::SetBusyCursor(bool busy) {
  if (busy)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

// Polled logging polls whenever the Log page is shown, also when the log starts
// there after the link came up on it.
void TFrmMain::TLogHost::LogModeChanged() {
  w_.SetLogMode(w_.logSession_->LogMode());
  w_.UpdateLogButtons();
  if (w_.LogMode() != lmOff && w_.ui_->PgCMain->currentWidget() == w_.ui_->TSLog) {
    w_.SetPollMode(pmLog);
    w_.StartPollThread();
  }
}

void TFrmMain::CreateLogPage() {
  logHost_ = std::make_unique<TLogHost>(*this);
  logSession_ = std::make_unique<TLogSession>(*logHost_, ui_->Chart->Model());
  TChart* chart = ui_->Chart;
  chart->OnMouseDown = [this](Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y) {
    Guarded([&] {
      ui_->lblCsrPos->setText(logSession_->ChartMouseDown(button == Qt::LeftButton, button == Qt::RightButton,
                                                           modifiers & Qt::ShiftModifier, x, y));
    });
  };
  chart->OnZoom = [this] { Guarded([this] { logSession_->ChartZoom(); }); };
  chart->OnUndoZoom = [this] { Guarded([this] { logSession_->ChartUndoZoom(); }); };
  chart->OnDblClick = [this] { Guarded([this] { logSession_->ChartDblClick(); }); };

  auto guarded = [this](void (TFrmMain::*handler)()) { return [this, handler] { Guarded([&] { (this->*handler)(); }); }; };
  connect(ui_->BtnStart, &QPushButton::clicked, this, guarded(&TFrmMain::BtnStartClick));
  connect(ui_->BtnStop, &QPushButton::clicked, this, guarded(&TFrmMain::BtnStopClick));
  connect(ui_->ClearChart1, &QAction::triggered, this, guarded(&TFrmMain::ClearChart1Click));
  connect(ui_->ChartSetup, &QAction::triggered, this, guarded(&TFrmMain::ChartSetupClick));
  connect(ui_->About1, &QAction::triggered, this, guarded(&TFrmMain::About1Click));
  connect(ui_->Contents1, &QAction::triggered, this, guarded(&TFrmMain::Contents1Click));

  auto* preview = new TKeyPreview(this, [this](const QKeyEvent& key) {
    return ui_->PgCMain->currentWidget() == ui_->TSLog && LogPageKey(key);
  });
  ui_->PgCMain->tabBar()->installEventFilter(preview);
  ui_->TSLog->installEventFilter(preview);
  for (QWidget* w : ui_->TSLog->findChildren<QWidget*>()) w->installEventFilter(preview);
  UpdateLogButtons();
}

bool TFrmMain::LogPageKey(const QKeyEvent& key) {
  bool used = false;
  Guarded([&] { used = logSession_->KeyDown(key.key(), key.modifiers() & Qt::ShiftModifier); });
  if (used) ui_->Chart->setFocus();
  return used;
}

void TFrmMain::BtnStartClick() {
  logSession_->BtnStartClick();
  ui_->Chart->setFocus();
}

void TFrmMain::BtnStopClick() {
  logSession_->BtnStopClick();
  ui_->Chart->setFocus();
}

void TFrmMain::StopLogging() { logSession_->StopLogging(); }

void TFrmMain::UpdateLogButtons() {
  ui_->BtnStart->setEnabled(logSession_->StartEnabled());
  ui_->BtnStop->setEnabled(logSession_->StopEnabled());
}

void TFrmMain::ClearChart1Click() { logSession_->ClearChart(); }

void TFrmMain::ChartSetupClick() {
  if (!FrmChartSetup) return;
  TFrmChartSetup& dialog = *FrmChartSetup;
  const TChartModel& chart = ui_->Chart->Model();
  const auto* places = findChild<QComboBox*>(QStringLiteral("CBxDP"));
  dialog.DecimalPlaces = places ? std::clamp(places->currentIndex(), 0, 5) : 0;
  dialog.DecimalChar = datViewer ? datViewer->GetDecimalPointChar() : QLatin1Char('.');
  dialog.Chart = &chart;
  dialog.SetValues(chart.Bottom().min, chart.Bottom().max, chart.Left().min, chart.Left().max,
                   logSession_->UnitsText(), chart.Title());
  if (Prompter().ExecDialog(dialog) != mrOk) return;
  logSession_->ApplyChartSetup(dialog.Comment(), dialog.StartTime(), dialog.EndTime(), dialog.MinWeight(),
                               dialog.MaxWeight());
}

void TFrmMain::About1Click() {
  if (frmAbout) Prompter().ExecDialog(*frmAbout);
}

void TFrmMain::Contents1Click() { ApplicationHelpCommand(HELP_CONTENTS, 0); }

void TFrmMain::OpenLogFile(const QString& path) { logSession_->OpenLog(ReadTextLines(path)); }

void TFrmMain::SaveLogFile(const QString& path) {
  std::vector<std::string> lines;
  SaveLog(logSession_->Traces(), lines);
  WriteTextLines(path, lines);
}

void TFrmMain::PrintChart(QPrinter& printer) {
  const TBusyCursor busy;
  QPainter painter;
  if (!painter.begin(&printer)) throw std::runtime_error("Printing failed: the printer could not be started");
  try {
    PaintChart(painter, ChartPrintRect(printer.width(), printer.height()), ui_->Chart->Model());
  } catch (...) {
    printer.abort();
    painter.end();
    throw;
  }
  painter.end();
}
