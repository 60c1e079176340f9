#include "mainwindow/calibrationpage.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <cmath>

#include "protocol/tools.h"
#include "ui_calibrationpage.h"

namespace {

// Digits, sign, separators, blank and control keys; everything else is swallowed.
bool NumericKey(char16_t u) {
  return u < 32 || u == ' ' || u == '+' || u == ',' || u == '-' || u == '.' || (u >= '0' && u <= '9');
}

}  // namespace

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
  ui_->EdtLCalWeight->installEventFilter(this);
  connect(ui_->EdtLCalWeight, &QLineEdit::textChanged, this,
          [this](const QString& text) { ui_->BtnLSet->setEnabled(!text.isEmpty()); });
}

TCalibrationPage::~TCalibrationPage() = default;

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

bool TCalibrationPage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui_->EdtLCalWeight && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      if (NormaliseWeight) ui_->EdtLCalWeight->setText(NormaliseWeight(ui_->EdtLCalWeight->text()));
      return true;
    }
    const QString typed = key->text();
    if (typed.size() == 1 && !(key->modifiers() & Qt::ControlModifier) && !NumericKey(typed.front().unicode()))
      return true;
  }
  return QWidget::eventFilter(watched, event);
}
