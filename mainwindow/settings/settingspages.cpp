#include "mainwindow/settings/settingspages.h"

#include <QDateTime>

#include "mainwindow/settings/settingspages_bindings.h"
#include "protocol/database.h"
#include "ui_settingspages.h"

namespace {

// The port of the BDX command that each serial tab shows.
constexpr int kSerialTabPorts[6] = {0, 1, 2, 3, 6, 7};
const QStringList kUsePort0 = {"Off", "Auto.lo", "Auto.hi", "Print", "Single", "Net", "MB Legacy"};
const QStringList kUsePort1 = {"Off", "Auto.lo", "Auto.hi", "Print", "Single"};
const QStringList kUseSlave = {"Off", "Auto.lo", "Auto.hi", "Print", "Single", "Net"};
const QStringList kUseHst = {"Off", "Auto.lo", "Auto.hi", "Print", "Single", "Net", "MB Legacy", "MB Ascii", "MB RTU"};

int TabPort(int tab) { return kSerialTabPorts[tab >= 0 && tab < 6 ? tab : 0]; }

void SetIndex(QComboBox* box, int index) {
  const QSignalBlocker block(box);
  box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
}

}  // namespace

TSettingsPages::TSettingsPages(QWidget* parent)
    : TSettingsPagesCore(parent), ui_(std::make_unique<Ui::TSettingsPages>()) {
  ui_->setupUi(this);
  for (const char* t : {"Serial Module 1A", "Serial Module 1B", "Serial Module 2A", "Serial Module 2B",
                        "Serial Slave", "Serial HST"})
    ui_->tcSerial->addTab(t);
  Bind(W830Bindings());
  connect(ui_->CBxWeighMode, &QComboBox::activated, this, [this] { UpdateRangeControls(); });
  connect(ui_->CkBQafEnable, &QCheckBox::clicked, this, [this] { UpdateQaDateControls(); });
  for (const TComboBinding& b : ClockBindings())
    connect(findChild<QComboBox*>(b.name), &QComboBox::activated, this, [this] { clockEdited_ = true; });
  connect(ui_->btnSysClock, &QPushButton::clicked, this, [this] { btnSysClockClick(); });
}

TSettingsPages::~TSettingsPages() = default;

w830::Tdata7400& TSettingsPages::Model() const { return dynamic_cast<w830::Tdata7400&>(*model_); }

void TSettingsPages::ShowOwnSettings() {
  for (const TComboBinding& b : ClockBindings()) SetIndex(findChild<QComboBox*>(b.name), b.field.get(*model_) - b.offset);
  UpdateQaDateControls();
}

void TSettingsPages::ShowOwnScaled() { UpdateRangeControls(); }

void TSettingsPages::StoreOwnSettings() {
  if (!clockEdited_) return;
  for (const TComboBinding& b : ClockBindings())
    if (const int index = findChild<QComboBox*>(b.name)->currentIndex(); index >= 0) b.field.set(*model_, index + b.offset);
}

void TSettingsPages::UpdateRangeControls() {
  const bool dual = ui_->CBxWeighMode->currentIndex() != 0;
  ui_->EdtFs2->setEnabled(dual);
  ui_->CBxRes2->setEnabled(dual);
}

void TSettingsPages::UpdateQaDateControls() {
  const bool on = ui_->CkBQafEnable->isChecked();
  for (QComboBox* box : {ui_->cbQafYear, ui_->cbQafMonth, ui_->cbQafDay}) box->setEnabled(on);
}

settings::TSerialPort& TSettingsPages::SerialRecord(int tab) {
  return Model().Ports[static_cast<std::size_t>(TabPort(tab))];
}

bool TSettingsPages::SerialRecordLocked(int tab) const { return TabPort(tab) == model_->GetWFP(); }

void TSettingsPages::ArrangeSerialTab(int tab) {
  const int port = TabPort(tab);
  const QStringList& uses = port == 6 ? kUseSlave : port == 7 ? kUseHst : (port == 1 || port == 3) ? kUsePort1 : kUsePort0;
  {
    const QSignalBlocker block(ui_->cbSerialUse);
    ui_->cbSerialUse->clear();
    ui_->cbSerialUse->addItems(uses);
  }
  for (QComboBox* box : {ui_->cbSerialUse, ui_->cbBaud, ui_->cbParity, ui_->cbDatabits, ui_->cbStopbits,
                         ui_->cbTermEn, ui_->cbDtrEn, ui_->cbHardware})
    box->setEnabled(port != 6 || box == ui_->cbSerialUse);
  ui_->cbHardware->setEnabled(true);
  if (port == 1 || port == 3 || port == 7) ui_->cbDtrEn->setEnabled(false);
  if (port == 7) ui_->cbTermEn->setEnabled(false);
}

const QStringList& TSettingsPages::SerialFunctionNames() { return kUseHst; }

void TSettingsPages::btnSysClockClick() {
  clockEdited_ = true;
  const QDateTime now = QDateTime::currentDateTime();
  int year = now.date().year();
  if (year >= 2000) year -= 2000;
  SetIndex(ui_->cbClkHour, now.time().hour());
  SetIndex(ui_->cbClkMinute, now.time().minute());
  SetIndex(ui_->cbClkSecond, now.time().second());
  SetIndex(ui_->cbClkYear, year);
  SetIndex(ui_->cbClkMonth, now.date().month() - 1);
  SetIndex(ui_->cbClkDay, now.date().day() - 1);
}
