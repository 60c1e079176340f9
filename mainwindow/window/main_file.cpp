// The File menu: settings files and the printed settings report, or on the Log page
// the weight log file and the printed chart. Which of the two an item means is
// decided once, when it is chosen, by the page shown.
#include <QPlainTextEdit>
#include <QPrinter>

#include "link/dmViewer.h"
#include "mainwindow/logging/logsession.h"
#include "mainwindow/report/reportprinter.h"
#include "mainwindow/settings/settingspagescore.h"
#include "mainwindow/settings/settingstransfer.h"
#include "mainwindow/window/main.h"
#include "platform/busycursor.h"
#include "platform/prompter.h"
#include "platform/textlines.h"
#include "ui_main.h"

namespace {

struct TFileDialogTexts {
  const char* openTitle;
  const char* saveTitle;
  const char* extension;
  const char* filter;
};

constexpr TFileDialogTexts kSettingsFiles = {"Open Indicator Setting File", "Save Indicator Setting File", "vis",
                                             "Indicator Settings (*.vis);;All Files (*.*)"};
constexpr TFileDialogTexts kLogFiles = {"Open Indicator Log File", "Save Indicator Log File", "log",
                                        "Indicator Log (*.log);;All Files (*.*)"};

}  // namespace

bool TFrmMain::LogPageShown() const { return ui_->PgCMain->currentWidget() == ui_->TSLog; }

void TFrmMain::Open1Click() {
  const bool log = LogPageShown();
  const TFileDialogTexts& texts = log ? kLogFiles : kSettingsFiles;
  const QString path =
      Prompter().OpenFileName(this, QString::fromLatin1(texts.openTitle), QString::fromLatin1(texts.filter));
  if (path.isEmpty()) return;
  if (log) {
    OpenLogFile(path);
    return;
  }
  const TLogSession::TStreamHold hold(*logSession_);
  settingsTransfer_->OpenSettingsFile(ReadTextLines(path), path);
}

void TFrmMain::Save1Click() {
  const bool log = LogPageShown();
  const TFileDialogTexts& texts = log ? kLogFiles : kSettingsFiles;
  const QString path = Prompter().SaveFileName(this, QString::fromLatin1(texts.saveTitle),
                                               QString::fromLatin1(texts.filter), QString::fromLatin1(texts.extension));
  if (path.isEmpty()) return;
  if (log) {
    SaveLogFile(path);
    return;
  }
  // Nothing is saved when a field could not be stored; the box said which value.
  if (const auto lines = settingsTransfer_->SettingsFileLines()) WriteTextLines(path, *lines);
}

void TFrmMain::Print1Click() {
  const bool log = LogPageShown();
  QPrinter printer(QPrinter::HighResolution);
  if (!Prompter().PrintDialog(this, printer)) return;
  if (log) {
    PrintChart(printer);
    return;
  }
  const TBusyCursor cursor;
  // The report shows what the pages show, edits not yet stored included; a field
  // that cannot be stored stops the print.
  if (!settingsPages_->StorePages()) return;
  QStringList lines;
  SettingsReport(lines);
  PrintReportLines(printer, settingsPages_->findChild<QPlainTextEdit*>(QStringLiteral("MemoHeader"))->font(), lines);
}

void TFrmMain::SettingsReport(QStringList& list) {
  const QChar decimalChar = datViewer ? datViewer->GetDecimalPointChar() : QChar(u'.');
  variant_.SettingsReport(*workingData_, {settingsPages_, ui_->TSCal}, decimalChar, list);
}
