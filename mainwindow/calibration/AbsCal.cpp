#include "mainwindow/calibration/AbsCal.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QScreen>
#include <QTimer>

#include "mainwindow/fields/decimalkeys.h"
#include "mainwindow/fields/fieldtext.h"
#include "platform/prompter.h"
#include "protocol/tools.h"
#include "ui_AbsCal.h"

TFrmAbsCal* FrmAbsCal = nullptr;

namespace {

constexpr int kDecimals = 4;

}  // namespace

TFrmAbsCal::TFrmAbsCal(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TFrmAbsCal>()) {
  ui_->setupUi(this);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  new TDecimalKeys(ui_->EdtAbsMV, [this](const QString& text) { return Normalised(text); });
  ui_->EdtAbsMV->installEventFilter(this);
  connect(ui_->BtnOk, &QPushButton::clicked, this, [this] { BtnOkClick(); });
  connect(ui_->BtnCancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

TFrmAbsCal::~TFrmAbsCal() {
  if (FrmAbsCal == this) FrmAbsCal = nullptr;
}

// Escape is Cancel.
void TFrmAbsCal::reject() { done(mrCancel); }

QString TFrmAbsCal::Normalised(const QString& text) const {
  return QString::fromLatin1(FixDecimals(text.toLatin1().toStdString(), kDecimals, DecimalChar.toLatin1()).c_str());
}

void TFrmAbsCal::SetValue(const QString& prompt, int32_t value) {
  ui_->lblAbsPrompt->setText(prompt);
  ui_->EdtAbsMV->setText(QString::fromLatin1(IntToFixedStr(value, kDecimals, DecimalChar.toLatin1()).c_str()));
  ui_->EdtAbsMV->selectAll();
  ui_->EdtAbsMV->setFocus();
  if (const QScreen* screen = QApplication::primaryScreen()) {
    adjustSize();
    move(screen->availableGeometry().center() - rect().center());
  }
}

int32_t TFrmAbsCal::Value() const { return DigitsToInt(ui_->EdtAbsMV->text().toLatin1().toStdString()); }

bool TFrmAbsCal::EdtAbsMVExit() {
  ui_->EdtAbsMV->setText(Normalised(ui_->EdtAbsMV->text()));
  const int32_t value = Value();
  if (value >= -kLimit && value <= kLimit) return true;
  Prompter().MessageDlg(OutOfRangeText(-kLimit, kLimit, kDecimals, DecimalChar),
                        TMsgDlgType::mtError, mbOK);
  // Once the focus change that raised the box is over.
  QTimer::singleShot(0, ui_->EdtAbsMV, [edit = ui_->EdtAbsMV] {
    edit->setFocus();
    edit->selectAll();
  });
  return false;
}

// The value that would be sent is checked here, whatever happened to the field
// before: a click on OK that took the focus from it has not checked it yet.
void TFrmAbsCal::BtnOkClick() {
  if (EdtAbsMVExit()) done(mrOk);
}

bool TFrmAbsCal::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui_->EdtAbsMV && event->type() == QEvent::FocusOut) {
    // Only a move within this dialog leaves the field, so the box raised here does
    // not check it again. A click on a button leaves the check to the button: OK
    // makes its own, Cancel drops the value.
    const QWidget* next = QApplication::focusWidget();
    const bool clickedButton = static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason &&
                               (next == ui_->BtnOk || next == ui_->BtnCancel);
    if (next && next->window() == this && !clickedButton) EdtAbsMVExit();
  }
  return QDialog::eventFilter(watched, event);
}
