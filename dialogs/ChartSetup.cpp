#include "dialogs/ChartSetup.h"

#include <QApplication>
#include <QKeyEvent>
#include <exception>

#include "platform/chart/chartmodel.h"
#include "platform/guard.h"
#include "platform/prompter.h"
#include "protocol/tools.h"
#include "ui_ChartSetup.h"

TFrmChartSetup* FrmChartSetup = nullptr;

namespace {

constexpr int32_t kTimeMin = 0;
constexpr int32_t kTimeMax = 1000;
constexpr int32_t kWeightLimit = 999999;

std::string Latin1(const QString& text) { return text.toLatin1().toStdString(); }
QString FromLatin1(const std::string& text) { return QString::fromLatin1(text.c_str()); }

QString OutOfRange(int32_t min, int32_t max, int decimals, char decimalChar) {
  return QStringLiteral("Out of Range: (%1 to %2)")
      .arg(FromLatin1(IntToFixedStr(min, decimals, decimalChar)), FromLatin1(IntToFixedStr(max, decimals, decimalChar)));
}

}  // namespace

double ReadChartNumber(const QString& text) {
  std::string number;
  bool point = false;
  for (const QChar c : text) {
    if (c.isDigit() && c.unicode() < 128) {
      number += static_cast<char>(c.unicode());
    } else if (c == QLatin1Char('-')) {
      number += '-';
    } else if ((c == QLatin1Char('.') || c == QLatin1Char(',')) && !point) {
      number += '.';
      point = true;
    }
  }
  return StrToFixedFloat(number);
}

TFrmChartSetup::TFrmChartSetup(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TFrmChartSetup>()) {
  ui_->setupUi(this);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  for (QLineEdit* edit : {ui_->EdtTstart, ui_->EdtTend, ui_->Edtminwgt, ui_->EdtMaxWgt}) edit->installEventFilter(this);
  connect(ui_->BtnAuto, &QPushButton::clicked, this, [this] { BtnAutoClick(); });
  connect(ui_->BtnOk, &QPushButton::clicked, this, [this] { BtnOkClick(); });
  connect(ui_->BtnCancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

TFrmChartSetup::~TFrmChartSetup() {
  if (FrmChartSetup == this) FrmChartSetup = nullptr;
}

// Escape is Cancel.
void TFrmChartSetup::reject() { done(mrCancel); }

QString TFrmChartSetup::Fixed(double value) const {
  QString text = QString::number(value, 'f', 2);
  text.replace(QLatin1Char('.'), DecimalChar);
  return text;
}

void TFrmChartSetup::SetValues(double start, double end, double minWeight, double maxWeight, const QString& units,
                               const QString& comment) {
  ui_->EdtTstart->setText(Fixed(start));
  ui_->EdtTend->setText(Fixed(end));
  ui_->Edtminwgt->setText(Fixed(minWeight));
  ui_->EdtMaxWgt->setText(Fixed(maxWeight));
  ui_->LblMinUnits->setText(units);
  ui_->LblMaxUnits->setText(units);
  ui_->EdtComment->setText(comment);
}

double TFrmChartSetup::StartTime() const { return ReadChartNumber(ui_->EdtTstart->text()); }
double TFrmChartSetup::EndTime() const { return ReadChartNumber(ui_->EdtTend->text()); }
double TFrmChartSetup::MinWeight() const { return ReadChartNumber(ui_->Edtminwgt->text()); }
double TFrmChartSetup::MaxWeight() const { return ReadChartNumber(ui_->EdtMaxWgt->text()); }
QString TFrmChartSetup::Comment() const { return ui_->EdtComment->text(); }

void TFrmChartSetup::BtnAutoClick() {
  Guarded([this] {
    double first = 0, last = 0, bottom = 0, top = 0;
    if (!Chart || !Chart->WeightTimes(first, last)) last = 0;
    if (!Chart || !Chart->LeftValues(bottom, top)) bottom = top = 0;
    const double span = (top - bottom) / 10;
    ui_->EdtTstart->setText(QStringLiteral("0"));
    ui_->EdtTend->setText(Fixed(last));
    ui_->EdtMaxWgt->setText(Fixed(top + span));
    ui_->Edtminwgt->setText(Fixed(bottom - span));
  });
}

void TFrmChartSetup::BtnOkClick() {
  if (EndTime() <= StartTime())
    Prompter().MessageDlg(QStringLiteral("Start time MUST be less than End time!"), TMsgDlgType::mtWarning, mbOK);
  else if (MaxWeight() <= MinWeight())
    Prompter().MessageDlg(QStringLiteral("Min weight MUST be less than Max weight!"), TMsgDlgType::mtWarning, mbOK);
  else
    done(mrOk);
}

bool TFrmChartSetup::IsTimeField(const QObject* edit) const { return edit == ui_->EdtTstart || edit == ui_->EdtTend; }

bool TFrmChartSetup::IsWeightField(const QObject* edit) const {
  return edit == ui_->Edtminwgt || edit == ui_->EdtMaxWgt;
}

void TFrmChartSetup::Normalise(QLineEdit* edit, bool check) {
  const char c = DecimalChar.toLatin1();
  const int decimals = IsTimeField(edit) ? 0 : std::clamp(DecimalPlaces, 0, 5);
  const std::string text = FixDecimals(Latin1(edit->text()), decimals, c);
  edit->setText(FromLatin1(text));
  if (!check) return;
  const int32_t value = DigitsToInt(text);
  const int32_t min = IsTimeField(edit) ? kTimeMin : -kWeightLimit;
  const int32_t max = IsTimeField(edit) ? kTimeMax : kWeightLimit;
  if (value < min || value > max)
    Prompter().MessageDlg(OutOfRange(min, max, decimals, c), TMsgDlgType::mtError, mbOK);
}

bool TFrmChartSetup::eventFilter(QObject* watched, QEvent* event) {
  auto* edit = qobject_cast<QLineEdit*>(watched);
  if (edit && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      Normalise(edit, false);
      return true;
    }
    const QString typed = key->text();
    if (typed.size() == 1 && !(key->modifiers() & Qt::ControlModifier)) {
      const char16_t u = typed.front().unicode();
      const bool passes = u < 32 || u == ' ' || u == '+' || u == ',' || u == '-' || u == '.' || (u >= '0' && u <= '9');
      if (!passes) return true;
    }
  } else if (edit && event->type() == QEvent::FocusOut) {
    // Only a move within this dialog leaves the field: the box the check raises
    // must not check it again.
    QWidget* next = QApplication::focusWidget();
    if (next && next->window() == window()) Normalise(edit, true);
  }
  return QDialog::eventFilter(watched, event);
}
