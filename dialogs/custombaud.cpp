#include "dialogs/custombaud.h"

#include <QRegularExpressionValidator>

#include "platform/prompter.h"
#include "ui_custombaud.h"

TFrmCustomBaud::TFrmCustomBaud(int rate, QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TFrmCustomBaud>()) {
  ui_->setupUi(this);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  ui_->EdtBaudRate->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,7}")), ui_->EdtBaudRate));
  if (rate > 0) ui_->EdtBaudRate->setText(QString::number(rate));
  ui_->EdtBaudRate->selectAll();
  connect(ui_->BtnOk, &QPushButton::clicked, this, [this] { done(mrOk); });
  connect(ui_->BtnCancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

TFrmCustomBaud::~TFrmCustomBaud() = default;

int TFrmCustomBaud::Rate() const { return ui_->EdtBaudRate->text().toInt(); }

void TFrmCustomBaud::done(int result) {
  if (result == mrOk && (Rate() < kMinBaud || Rate() > kMaxBaud)) {
    Prompter().MessageDlg(QStringLiteral("Enter a baud rate from %1 to %2.").arg(kMinBaud).arg(kMaxBaud),
                          TMsgDlgType::mtError, mbOK);
    ui_->EdtBaudRate->setFocus();
    return;
  }
  QDialog::done(result);
}
