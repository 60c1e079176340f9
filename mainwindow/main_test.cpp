#include <QKeyEvent>
#include <QPlainTextEdit>

#include "mainwindow/main.h"
#include "platform/guard.h"
#include "ui_main.h"

void TFrmMain::BindTestPage() {
  connect(ui_->BtnSend, &QPushButton::clicked, this, [this] { Guarded([this] { BtnSendClick(); }); });
  connect(ui_->EdtSendStr, &QLineEdit::returnPressed, this, [this] { Guarded([this] { BtnSendClick(); }); });
  connect(ui_->BtnClear, &QPushButton::clicked, this, [this] { BtnClearClick(); });
  connect(ui_->CbStxEtx, &QCheckBox::clicked, this, [this] { ui_->EdtSendStr->setFocus(); });
}

void TFrmMain::BtnSendClick() {
  SendCommand(ui_->EdtSendStr->text().toLatin1().toStdString(), ui_->CbStxEtx->isChecked());
  ui_->EdtSendStr->setFocus();
}

void TFrmMain::BtnClearClick() {
  ui_->MemoRx->clear();
  ui_->EdtSendStr->setFocus();
}
