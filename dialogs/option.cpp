#include "dialogs/option.h"

#include <QLocale>
#include <cmath>

#include "link/dmViewer.h"
#include "platform/prompter.h"
#include "ui_option.h"

namespace {
const QString kRangeMessage = QStringLiteral("The number must be within the range 0.05s to 2s");
constexpr double kTicksPerSecond = 100.0;
}

QString TicksAsSeconds(int ticks) { return QLocale().toString(ticks / kTicksPerSecond, 'g', 15); }

int SecondsAsTicks(double seconds) { return static_cast<int>(std::nearbyint(seconds * kTicksPerSecond)); }

TfrmOptions::TfrmOptions(TdatViewer& store, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TfrmOptions>()), store_(store) {
  ui_->setupUi(this);
  for (TNumEdit* e : {ui_->edtSerialTimeout, ui_->edtTCPTimeout}) {
    e->setEditType(dtFloat);
    e->MinReal = 0.05;
    e->MaxReal = 2;
    e->CancelTag = 1234567890;
  }
  ui_->btnCancel->setProperty("Tag", 1234567890);
  ui_->edtSerialTimeout->OnExitError = [this](TNumEdit*) { edtSerialTimeoutExitError(); };
  connect(ui_->btnOK, &QPushButton::clicked, this, [this] { btnOKClick(); });
  connect(ui_->btnCancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

TfrmOptions::~TfrmOptions() = default;

void TfrmOptions::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  ui_->edtSerialTimeout->setText(TicksAsSeconds(store_.GetSerTimeout()));
  ui_->edtTCPTimeout->setText(TicksAsSeconds(store_.GetTcpTimeout()));
}

void TfrmOptions::edtSerialTimeoutExitError() { Prompter().MessageDlg(kRangeMessage, TMsgDlgType::mtWarning, mbOK); }

void TfrmOptions::btnOKClick() {
  // Putting the focus back on a bad field does not cancel a click, so OK checks
  // both fields itself and stores nothing out of range.
  for (TNumEdit* e : {ui_->edtSerialTimeout, ui_->edtTCPTimeout}) {
    e->Check();
    if (!e->Valid()) {
      e->setFocus();
      Prompter().MessageDlg(kRangeMessage, TMsgDlgType::mtWarning, mbOK);
      return;
    }
  }
  store_.SetSerTimeout(SecondsAsTicks(ui_->edtSerialTimeout->RealValue()));
  store_.SetTcpTimeout(SecondsAsTicks(ui_->edtTCPTimeout->RealValue()));
  done(mrOk);
}

void TfrmOptions::done(int result) {
  store_.SetFirstRun(false);
  QDialog::done(result == QDialog::Rejected ? mrCancel : result);
}
