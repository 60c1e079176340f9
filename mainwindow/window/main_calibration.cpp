// The main window's Calibration page: the page's controls, the linearisation list,
// and the form's side of TCalibrationSteps, which decides what each step sends.
#include <QApplication>
#include <QComboBox>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QScrollArea>

#include "link/dmViewer.h"
#include "mainwindow/calibration/AbsCal.h"
#include "mainwindow/calibration/calibrationpage.h"
#include "mainwindow/fields/fieldtext.h"
#include "mainwindow/logging/logsession.h"
#include "mainwindow/settings/settingspagescore.h"
#include "mainwindow/window/main.h"
#include "mimic/voxMimicDisp.h"
#include "platform/guard.h"
#include "platform/prompter.h"
#include "protocol/tools.h"
#include "ui_main.h"

namespace {
using TField = TCalibrationSteps::TField;

}  // namespace

// The main window's side of a calibration step: its link and engine, the lock of
// the window, the Calibration page's fields and the working model.
class TFrmMain::TCalibrationHost final : public TCalibrationSteps::THost {
 public:
  explicit TCalibrationHost(TFrmMain& window) : w_(window) {}

  bool LinkActive() const override;
  bool Closing() const override;
  bool Unanswered() const override;
  bool Request(const std::string& command, int timeoutTicks, const TReplyHandler& handler,
               const std::string& prefix) override;
  TReplyContext& ReplyContext() override;
  int ReplyTimeout() const override;
  bool DelayTicks(int ticks) override;
  void StopStreamedLog() override;
  void SetCalibrating(bool on) override;
  void ShowCalSegments(const std::string& segments) override;
  void UpdateStatusLine() override;
  void SetInSync(bool inSync) override;
  void ReadSettings() override;
  std::string FieldText(TCalibrationSteps::TField field) const override;
  void SetFieldText(TCalibrationSteps::TField field, const std::string& text) override;
  int Decimals() const override;
  char DecimalChar() const override;
  int SelectedLinPoint() const override;
  void StoreDirectValue(TCalibrationSteps::TField field, int32_t value) override;
  TCalIdentity IndicatorIdentity() const override;
  int32_t WeighMode() const override;
  std::optional<int32_t> AskAbsoluteValue(const QString& prompt, int32_t value) override;
  QWidget* DialogParent() override;

 private:
  QLineEdit* Edit(TCalibrationSteps::TField field) const;

  TFrmMain& w_;
};

bool TFrmMain::TCalibrationHost::LinkActive() const { return w_.LinkActive(); }

bool TFrmMain::TCalibrationHost::Closing() const { return w_.FClosing; }

bool TFrmMain::TCalibrationHost::Unanswered() const { return w_.engine_.Unanswered(); }

bool TFrmMain::TCalibrationHost::Request(const std::string& command, int timeoutTicks, const TReplyHandler& handler,
                                         const std::string& prefix) {
  return w_.Request(command, false, timeoutTicks, handler, prefix);
}

TReplyContext& TFrmMain::TCalibrationHost::ReplyContext() { return w_.engine_.Context(); }

int TFrmMain::TCalibrationHost::ReplyTimeout() const { return w_.FReplyTimeout; }

bool TFrmMain::TCalibrationHost::DelayTicks(int ticks) { return w_.DelayTicks(ticks); }

void TFrmMain::TCalibrationHost::StopStreamedLog() {
  if (w_.logSession_->LogMode() == lmStreamed) w_.StopLogging();
}

void TFrmMain::TCalibrationHost::SetCalibrating(bool on) {
  if (on)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
  Ui::TFrmMain& ui = *w_.ui_;
  for (QWidget* control : {static_cast<QWidget*>(ui.PgCMain), static_cast<QWidget*>(ui.ToolBar1)})
    control->setEnabled(!on);
  for (QMenu* menu : {ui.File1, ui.Instrument1, ui.Help1}) menu->menuAction()->setEnabled(!on);
  w_.SetCalBusy(on);
}

void TFrmMain::TCalibrationHost::ShowCalSegments(const std::string& segments) {
  w_.calMimic_->LCD().SetSegmentsHex(segments);
  w_.calMimic_->PaintLCD();
}

void TFrmMain::TCalibrationHost::UpdateStatusLine() { w_.UpdateStatusLine(); }

void TFrmMain::TCalibrationHost::SetInSync(bool inSync) { w_.SetInSync(inSync); }

void TFrmMain::TCalibrationHost::ReadSettings() { w_.ReadSettings1Click(); }

QLineEdit* TFrmMain::TCalibrationHost::Edit(TField field) const { return w_.calibrationPage_->Edit(field); }

std::string TFrmMain::TCalibrationHost::FieldText(TField field) const { return Latin1(Edit(field)->text()); }

void TFrmMain::TCalibrationHost::SetFieldText(TField field, const std::string& text) {
  Edit(field)->setText(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

int TFrmMain::TCalibrationHost::Decimals() const { return w_.CalDecimals(); }

char TFrmMain::TCalibrationHost::DecimalChar() const {
  return datViewer ? datViewer->GetDecimalPointChar().toLatin1() : '.';
}

int TFrmMain::TCalibrationHost::SelectedLinPoint() const { return w_.calibrationPage_->SelectedLinPoint(); }

void TFrmMain::TCalibrationHost::StoreDirectValue(TField field, int32_t value) {
  (field == TField::kDirectZero ? w_.workingData_->DirectZero : w_.workingData_->DirectSpan) = value;
}

TCalIdentity TFrmMain::TCalibrationHost::IndicatorIdentity() const {
  const TSettingsModel& m = *w_.workingData_;
  TCalIdentity identity;
  identity.indicatorModel = QString::fromLatin1(m.InstrumentID.c_str());
  identity.indicatorVersion = QString::fromLatin1(m.SoftwareVersion.c_str());
  identity.indicatorSerialNo = QString::fromLatin1(m.SerialNumber.c_str());
  return identity;
}

int32_t TFrmMain::TCalibrationHost::WeighMode() const { return w_.workingData_->WeighMode; }

std::optional<int32_t> TFrmMain::TCalibrationHost::AskAbsoluteValue(const QString& prompt, int32_t value) {
  if (!FrmAbsCal) return std::nullopt;
  FrmAbsCal->DecimalChar = QLatin1Char(DecimalChar());
  FrmAbsCal->SetValue(prompt, value);
  if (Prompter().ExecDialog(*FrmAbsCal) != mrOk) return std::nullopt;
  return FrmAbsCal->Value();
}

QWidget* TFrmMain::TCalibrationHost::DialogParent() { return &w_; }

void TFrmMain::CreateCalibrationPage() {
  calibrationHost_ = std::make_unique<TCalibrationHost>(*this);
  calibrationSteps_ = std::make_unique<TCalibrationSteps>(*calibrationHost_, variant_.CalibrationDialect());
  // Scrolled, so that the page's controls never hold the window above its minimum size.
  auto* scroll = new QScrollArea(ui_->TSCal);
  scroll->setObjectName(QStringLiteral("CalibrationScroll"));
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  calibrationPage_ = new TCalibrationPage(scroll);
  scroll->setWidget(calibrationPage_);
  ui_->TSCal->layout()->addWidget(scroll);
  calibrationPage_->NormaliseWeight = [this](const QString& text) {
    const std::string fixed = FixDecimals(Latin1(text), CalDecimals(), calibrationHost_->DecimalChar());
    return QString::fromLatin1(fixed.data(), static_cast<qsizetype>(fixed.size()));
  };
  QLineEdit* directZero = calibrationPage_->Edit(TField::kDirectZero);
  QLineEdit* directSpan = calibrationPage_->Edit(TField::kDirectSpan);
  directZero->setText(QStringLiteral("0"));
  directSpan->setText(QStringLiteral("0"));
  settingsPages_->SetCalibrationEdits(directZero, directSpan, calibrationPage_->Edit(TField::kSpanWeight));
  settingsPages_->OnUnitsChanged = [this](const QString& units) {
    calibrationPage_->SetUnits(units);
    ShowLinearisation(settingsPages_->ShownUnits());
  };
  settingsPages_->OnShowLinearisation = [this](int units) { ShowLinearisation(units); };
  settingsPages_->OnModelSettled = [this] { ArrangeCalPage(); };
  // A point read back changes only the list: the page's typed values stay.
  engine_.Context().settingsChanged = [this] { ShowLinearisation(workingData_->Units); };
  ShowLinearisation(workingData_->Units);

  calibrationPage_->ConnectSteps(
      [this](void (TCalibrationSteps::*step)()) { Guarded([&] { (*calibrationSteps_.*step)(); }); });
}

int TFrmMain::CalDecimals() const { return settingsPages_->Decimals(); }

void TFrmMain::ArrangeCalPage() {
  const std::optional<int32_t> absolute = variant_.CalibrationDialect().absoluteWeighMode;
  if (absolute) calibrationPage_->ArrangeForAbsoluteCalibration(workingData_->WeighMode == *absolute);
}

void TFrmMain::ShowLinearisation(int unitIndex) {
  const QString unit = settingsPages_->UnitsName(unitIndex);
  const char c = calibrationHost_->DecimalChar();
  QStringList rows;
  for (std::size_t i = 0; i < workingData_->LinPercent.size(); ++i)
    rows << LinearisationRow(static_cast<int>(i) + 1, workingData_->LinPercent[i], workingData_->LinWeight[i],
                             CalDecimals(), c, unit);
  calibrationPage_->SetLinearisationRows(rows);
}
