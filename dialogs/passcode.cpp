#include "dialogs/passcode.h"

#include <QRegularExpressionValidator>

#include "platform/prompter.h"
#include "ui_passcode.h"

TFrmPasscode::TFrmPasscode(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TFrmPasscode>()) {
  ui_->setupUi(this);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  // The text goes straight into the "PCD" command: nothing but digits may reach it.
  ui_->EdtPasscode->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,6}")), ui_->EdtPasscode));
  connect(ui_->BtnOk, &QPushButton::clicked, this, [this] { done(mrOk); });
  connect(ui_->BtnCancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

TFrmPasscode::~TFrmPasscode() = default;

QString TFrmPasscode::Passcode() const { return ui_->EdtPasscode->text(); }

void TFrmPasscode::Clear() { ui_->EdtPasscode->clear(); }
