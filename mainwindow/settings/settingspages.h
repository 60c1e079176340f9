#pragma once
// The eleven settings pages of the W830 main window: the W830's form and tables,
// its six serial tabs over the ports of its BDX command, its clock (sent only once
// edited), the maintenance date and the second range's enabling.
#include <memory>

#include "mainwindow/settings/settingspagescore.h"

namespace Ui {
class TSettingsPages;
}
namespace w830 {
class Tdata7400;
}

class TSettingsPages : public TSettingsPagesCore {
 public:
  explicit TSettingsPages(QWidget* parent = nullptr);
  ~TSettingsPages() override;

  // The clock is sent only when edited since the last write.
  void WriteEnded() override { clockEdited_ = false; }

  // Every function a serial port can have, by its stored number; each serial tab
  // lists the first few of them.
  static const QStringList& SerialFunctionNames();

 protected:
  void ShowOwnSettings() override;
  void ShowOwnScaled() override;
  void StoreOwnSettings() override;
  settings::TSerialPort& SerialRecord(int tab) override;
  bool SerialRecordLocked(int tab) const override;
  void ArrangeSerialTab(int tab) override;

 private:
  void UpdateRangeControls();
  void UpdateQaDateControls();
  void btnSysClockClick();
  w830::Tdata7400& Model() const;

  std::unique_ptr<Ui::TSettingsPages> ui_;
  bool clockEdited_ = false;
};
