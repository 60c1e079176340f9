#include "dialogs/about.h"

#include <QApplication>

#include "components/CEVersionInfo.h"
#include "platform/prompter.h"
#include "ui_about.h"

TfrmAbout* frmAbout = nullptr;

TfrmAbout::TfrmAbout(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TfrmAbout>()) {
  ui_->setupUi(this);
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
  connect(ui_->BtnOk, &QPushButton::clicked, this, [this] { done(mrOk); });
  ShowInfo(TCEVersionInfo());
}

TfrmAbout::~TfrmAbout() {
  if (frmAbout == this) frmAbout = nullptr;
}

void TfrmAbout::reject() { done(mrCancel); }

void TfrmAbout::ShowInfo(const TCEVersionInfo& info) {
  setWindowTitle(QStringLiteral("About ") + info.FileDescription);
  ui_->lblDescription->setText(info.FileDescription);
  // The file version 1.3.3.0 reads "1.33": no point between minor version and release.
  ui_->lblVersion->setText(QStringLiteral("Version: ") + info.MajorVersion + '.' + info.MinorVersion + info.Release);
  ui_->lblCopyright->setText(info.LegalCopyright);
  const QIcon icon = QApplication::windowIcon();
  setWindowIcon(icon);
  ui_->ImageAbout->setPixmap(icon.pixmap(48, 48));
}
