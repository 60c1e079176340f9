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
#include "link/dmViewer.h"
#include "mainwindow/main.h"
#include "mainwindow/main_loghost.h"
#include "mainwindow/weightlogfile.h"
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
