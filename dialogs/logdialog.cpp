#include "dialogs/logdialog.h"

#include <algorithm>

#include "platform/prompter.h"
#include "ui_logdialog.h"

TFrmLogDialog* FrmLogDialog = nullptr;

namespace {
constexpr int kIntervals[] = {0, 100, 1000, 10000};  // "Auto", "10 Hz", "1 Hz", "10 Seconds"
}

TFrmLogDialog::TFrmLogDialog(const QStringList& signalNames, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TFrmLogDialog>()) {
  ui_->setupUi(this);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  Channels = {ui_->CBxDig1, ui_->CBxDig2, ui_->CBxDig3, ui_->CBxDig4,
              ui_->CBxDig5, ui_->CBxDig6, ui_->CBxDig7, ui_->CBxDig8};
  for (QComboBox* channel : Channels) {
    channel->clear();
    channel->addItems(signalNames);
    channel->setCurrentIndex(0);
  }
  ui_->CBLogRate->setCurrentIndex(0);
  connect(ui_->BtnOk, &QPushButton::clicked, this, [this] { done(mrOk); });
  connect(ui_->BtnCancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

TFrmLogDialog::~TFrmLogDialog() {
  if (FrmLogDialog == this) FrmLogDialog = nullptr;
}

// Escape is Cancel.
void TFrmLogDialog::reject() { done(mrCancel); }

int TFrmLogDialog::GetSampleInterval() const {
  const int i = ui_->CBLogRate->currentIndex();
  return i >= 0 && i < static_cast<int>(std::size(kIntervals)) ? kIntervals[i] : 0;
}

int TFrmLogDialog::GetLogMode() const { return GetSampleInterval() == 0 ? 1 : 2; }

int TFrmLogDialog::GetDigitalSource(int channel) const {
  if (channel < 0 || channel > 7) return 0;
  return std::max(Channels[static_cast<std::size_t>(channel)]->currentIndex(), 0);
}
