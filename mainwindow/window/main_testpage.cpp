// The Test page: a small terminal on the window's send path.
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>

#include "mainwindow/window/main.h"
#include "ui_main.h"

namespace {
constexpr int kMaxTestLines = 500;
constexpr int kTrimmedLines = 10;
}  // namespace

void TFrmMain::AddTestLine(const std::string& line) {
  if (ui_->PgCMain->currentWidget() != ui_->TSTest) return;
  QPlainTextEdit& memo = *ui_->MemoRx;
  if (memo.blockCount() > kMaxTestLines) {
    QTextCursor cursor(memo.document());
    cursor.movePosition(QTextCursor::Start);
    cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor, kTrimmedLines);
    cursor.removeSelectedText();
  }
  memo.appendPlainText(QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())));
}

void TFrmMain::BtnSendClick() {
  SendCommand(ui_->EdtSendStr->text().toLatin1().toStdString(), ui_->CbStxEtx->isChecked());
  ui_->EdtSendStr->setFocus();
}

void TFrmMain::BtnClearClick() {
  ui_->MemoRx->clear();
  ui_->EdtSendStr->setFocus();
}
