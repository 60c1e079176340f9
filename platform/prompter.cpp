#include "platform/prompter.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <utility>

namespace {

QMessageBox::Icon IconOf(TMsgDlgType type) {
  switch (type) {
    case TMsgDlgType::mtWarning: return QMessageBox::Warning;
    case TMsgDlgType::mtError: return QMessageBox::Critical;
    case TMsgDlgType::mtInformation: return QMessageBox::Information;
    case TMsgDlgType::mtConfirmation: return QMessageBox::Question;
    case TMsgDlgType::mtCustom: break;
  }
  return QMessageBox::NoIcon;
}

QString CaptionOf(TMsgDlgType type) {
  switch (type) {
    case TMsgDlgType::mtWarning: return QStringLiteral("Warning");
    case TMsgDlgType::mtError: return QStringLiteral("Error");
    case TMsgDlgType::mtInformation: return QStringLiteral("Information");
    case TMsgDlgType::mtConfirmation: return QStringLiteral("Confirm");
    case TMsgDlgType::mtCustom: break;
  }
  return QApplication::applicationDisplayName();
}

struct ButtonMap {
  TMsgDlgBtn ours;
  QMessageBox::StandardButton qt;
  TModalResult result;
};

constexpr ButtonMap kButtons[] = {
    {mbYes, QMessageBox::Yes, mrYes},         {mbNo, QMessageBox::No, mrNo},
    {mbOK, QMessageBox::Ok, mrOk},            {mbCancel, QMessageBox::Cancel, mrCancel},
    {mbAbort, QMessageBox::Abort, mrAbort},   {mbRetry, QMessageBox::Retry, mrRetry},
    {mbIgnore, QMessageBox::Ignore, mrIgnore},
};

// "vis" of "Indicator Settings (*.vis);;All Files (*.*)".
QString FirstSuffix(const QString& filter) {
  static const QRegularExpression pattern(QStringLiteral(R"(\(\*\.(\w+))"));
  return pattern.match(filter).captured(1);
}

}  // namespace

QString DesktopFileFilter(const QString& filter) {
  static const QRegularExpression everyFile(QStringLiteral(R"((?<=[( ;])\*\.\*(?=[) ;]))"));
  return QString(filter).replace(everyFile, QStringLiteral("*"));
}

namespace {

class TWidgetPrompter final : public TPrompter {
 public:
  int MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons) override {
    QMessageBox box(IconOf(type), CaptionOf(type), text, QMessageBox::NoButton, QApplication::activeWindow());
    for (const auto& b : kButtons)
      if (buttons & b.ours) box.addButton(b.qt);
    if (buttons == 0) box.addButton(QMessageBox::Ok);
    const auto pressed = static_cast<QMessageBox::StandardButton>(box.exec());
    for (const auto& b : kButtons)
      if (b.qt == pressed) return b.result;
    return mrCancel;
  }

  void ShowMessage(const QString& text) override {
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
  }

  QString OpenFileName(QWidget* parent, const QString& caption, const QString& filter) override {
    QFileDialog dialog(parent, caption, QString(), DesktopFileFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(FirstSuffix(filter));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
  }

  QString SaveFileName(QWidget* parent, const QString& caption, const QString& filter,
                       const QString& defaultSuffix) override {
    QFileDialog dialog(parent, caption, QString(), DesktopFileFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
  }

  bool PrintDialog(QWidget* parent, QPrinter& printer) override {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
  }

  int ExecDialog(QDialog& dialog) override { return dialog.exec(); }
};

TPrompter* g_installed = nullptr;

}  // namespace

TPrompter& Prompter() {
  static TWidgetPrompter real;
  return g_installed ? *g_installed : real;
}

TPrompter* SetPrompter(TPrompter* prompter) { return std::exchange(g_installed, prompter); }
