#include "mainwindow/settings/settingspages840.h"

#include <QFontDatabase>

#include "mainwindow/settings/settingsbindings.h"
#include "protocol/database840.h"
#include "ui_settingspages840.h"

namespace w840 {
namespace {

const TPageBindings& Bindings() {
  using S = TSetpointSettings;
  static const TPageBindings b = [] {
    TPageBindings v = {
        .combos = KeyLockCombos<Tdata7400>({"CBxZBut", "CBxTbut", "CBxGbut", "CBxPbut", "CBxFbut"}),
        .edits =
            {
                {"edtSerial5Port", Field([](Tdata7400& m) -> auto& { return m.NetPorts[0]; }), TEditBinding::kInteger, {0, 65535}},
                {"edtSerial6Port", Field([](Tdata7400& m) -> auto& { return m.NetPorts[1]; }), TEditBinding::kInteger, {0, 65535}},
            },
        .addresses = {{"edtEthDNS", Text([](Tdata7400& m) -> std::string& { return m.Dns1; })}},
        .setpointCombos = SetpointCombos<Tdata7400>({{"CBxSetpDirn", SetpointMember<Tdata7400>(&S::Direction)}}),
        .setpointEdits = SetpointEdits<Tdata7400>("EdtFlight", "LblFlightUnits", "EdtTol", "LblTolUnits", "LblTargetUnits"),
        .unitLabels = {"lblFS1Units", "LblFS2Units", "lblZbandUnits", "lblAddTareUnits"},
    };
    // Input 0 is the front Function key's: remote n is the model's input n.
    v.combos.push_back({"cbFunctionKey", Field([](Tdata7400& m) -> auto& { return m.RemoteInput[0]; })});
    for (TComboBinding& r : RemoteInputCombos<Tdata7400>(1)) v.combos.push_back(std::move(r));
    return v;
  }();
  return b;
}

}  // namespace

TSettingsPages::TSettingsPages(QWidget* parent)
    : TSettingsPagesCore(parent), ui_(std::make_unique<Ui::TSettingsPages840>()) {
  ui_->setupUi(this);
  for (const char* t : {"Serial 1", "Serial 2", "Serial 3", "Serial 4"}) ui_->tcSerial->addTab(t);
  ui_->MemoHeader->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  Bind(Bindings());
}

TSettingsPages::~TSettingsPages() = default;

Tdata7400& TSettingsPages::Model() const { return dynamic_cast<Tdata7400&>(*model_); }

settings::TSerialPort& TSettingsPages::SerialRecord(int tab) {
  return Model().SerialPorts[static_cast<std::size_t>(std::clamp(tab, 0, 3))];
}

bool TSettingsPages::SerialRecordLocked(int tab) const { return tab == model_->GetWFP(); }

void TSettingsPages::ArrangeSerialTab(int tab) {
  const bool editable = !SerialRecordLocked(tab);
  for (QComboBox* box : {ui_->cbSerialUse, ui_->cbBaud, ui_->cbParity, ui_->cbDatabits, ui_->cbStopbits,
                         ui_->cbTermEn, ui_->cbDtrEn, ui_->cbHardware})
    box->setEnabled(editable);
}

}  // namespace w840
