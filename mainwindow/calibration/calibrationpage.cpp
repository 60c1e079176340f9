#include "mainwindow/calibration/calibrationpage.h"

#include <QFontDatabase>
#include <QPushButton>
#include <cmath>

#include "mainwindow/fields/decimalkeys.h"
#include "protocol/tools.h"
#include "ui_calibrationpage.h"

QString LinearisationRow(int point, int32_t percent, int32_t weight, int decimals, char decimalChar,
                         const QString& unit) {
  if (percent == 0) return QStringLiteral("%1:").arg(point);
  // The indicator keeps the weight in sixteenths of a count: one decimal more shows it.
  const auto tenths = static_cast<int32_t>(std::nearbyint(weight * 10.0 / 16.0));
  const std::string w = IntToFixedStr(tenths, decimals + 1, decimalChar);
  return QStringLiteral("%1: %2%   %3 %4")
      .arg(point)
      .arg(percent, 4)
      .arg(QString::fromLatin1(w.data(), static_cast<qsizetype>(w.size())), unit);
}

TCalibrationPage::TCalibrationPage(QWidget* parent) : QWidget(parent), ui_(std::make_unique<Ui::TCalibrationPage>()) {
  ui_->setupUi(this);
  // The rows line up their percentages and weights.
  ui_->LBxLCal->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  new TDecimalKeys(ui_->EdtLCalWeight, [this](const QString& text) { return NormaliseWeight ? NormaliseWeight(text) : text; });
  connect(ui_->EdtLCalWeight, &QLineEdit::textChanged, this,
          [this](const QString& text) { ui_->BtnLSet->setEnabled(!text.isEmpty()); });
}

TCalibrationPage::~TCalibrationPage() = default;

QLineEdit* TCalibrationPage::Edit(TCalibrationSteps::TField field) const {
  using TField = TCalibrationSteps::TField;
  switch (field) {
    case TField::kSpanWeight: return ui_->EdtCalWeight;
    case TField::kLinWeight: return ui_->EdtLCalWeight;
    case TField::kDirectZero: return ui_->edtCalDirectZero;
    case TField::kDirectSpan: return ui_->edtCalDirectSpan;
  }
  return ui_->EdtCalWeight;
}

int TCalibrationPage::SelectedLinPoint() const {
  const QListWidget* list = ui_->LBxLCal;
  const QListWidgetItem* item = list->currentItem();
  return item && item->isSelected() ? list->row(item) : -1;
}

void TCalibrationPage::ConnectSteps(const std::function<void(void (TCalibrationSteps::*step)())>& run) {
  auto bind = [this, &run](QPushButton* button, void (TCalibrationSteps::*step)()) {
    connect(button, &QPushButton::clicked, this, [run, step] { run(step); });
  };
  bind(ui_->BtnZero, &TCalibrationSteps::BtnZeroClick);
  bind(ui_->BTnSpan, &TCalibrationSteps::BTnSpanClick);
  bind(ui_->btnCalDirect, &TCalibrationSteps::btnCalDirectClick);
  bind(ui_->BtnLSet, &TCalibrationSteps::BtnLSetClick);
  bind(ui_->BtnLClear, &TCalibrationSteps::BtnLClearClick);
  bind(ui_->btnBackupCal, &TCalibrationSteps::btnBackupCalClick);
  bind(ui_->btnRestoreCal, &TCalibrationSteps::btnRestoreCalClick);
}

void TCalibrationPage::SetUnits(const QString& units) {
  ui_->lblCalWeightUnits->setText(units);
  ui_->lblLCalWeightUnits->setText(units);
}

void TCalibrationPage::SetLinearisationRows(const QStringList& rows) {
  QListWidget* list = ui_->LBxLCal;
  const QSignalBlocker block(list);
  for (qsizetype i = 0; i < rows.size(); ++i) {
    if (i < list->count())
      list->item(static_cast<int>(i))->setText(rows[i]);
    else
      list->addItem(rows[i]);
  }
}

void TCalibrationPage::ArrangeForAbsoluteCalibration(bool absolute) {
  for (QWidget* weighing : {static_cast<QWidget*>(ui_->lblCalWeight), static_cast<QWidget*>(ui_->lblCalWeightUnits),
                            static_cast<QWidget*>(ui_->EdtCalWeight), static_cast<QWidget*>(ui_->GBxLin)})
    weighing->setHidden(absolute);
  for (QWidget* direct : {static_cast<QWidget*>(ui_->edtCalDirectZero), static_cast<QWidget*>(ui_->edtCalDirectSpan),
                          static_cast<QWidget*>(ui_->btnCalDirect)})
    direct->setEnabled(absolute);
}
