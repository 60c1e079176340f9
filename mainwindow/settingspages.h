#pragma once
// The eleven settings pages of the W830 main window: every setting of the working
// model on a control, moved both ways by SettingsToControls and ControlsToSettings,
// with the input checks of the edits. The model given must be a W830 one.
#include <memory>

#include "mainwindow/settingspagescore.h"

namespace Ui {
class TSettingsPages;
}
namespace w830 {
class Tdata7400;
}

class TSettingsPages : public TSettingsPagesCore {
  Q_OBJECT
 public:
  explicit TSettingsPages(QWidget* parent = nullptr);
  ~TSettingsPages() override;

  Ui::TSettingsPages& Form() { return *ui_; }

  void SettingsToControls(bool scaledOnly) override;
  void ControlsToSettings() override;
  void LoadSetpoint(int n) override;
  void StoreSetpoint(int n) override;
  void RefreshScaledFields() override;
  // The clock is sent only when edited since the last write.
  void WriteEnded() override { clockEdited_ = false; }

  bool ClockEdited() const { return clockEdited_; }

  // Field check texts, for the edits of other pages that share the rules.
  static QString OutOfRangeText(int min, int max, int decimals, QChar c);
  static QString HostNameError(const QString& hostName);  // empty when valid

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct TBindings;
  void Bind();
  void CBxDPChange();
  void CBxUnitsChange();
  void UpdateRangeControls();
  void cbEthDHCPChange();
  void UpdateQaDateControls();
  void tcSerialChange();
  void cbSerialChange();
  void btnSysClockClick();
  void PgCSettingsChange(int index);
  void CtrlSetpointChange(int index);
  void MemoHeaderChange();
  int SerialTabPort() const;
  int Decimals() const;
  bool KeyFilter(QLineEdit* edit, QChar key);
  void ExitCheck(QLineEdit* edit);
  bool StoreInteger(QLineEdit* edit, int32_t& target);
  void ShowError(const QString& text);
  w830::Tdata7400& Model() const;

  std::unique_ptr<Ui::TSettingsPages> ui_;
  std::unique_ptr<TBindings> bindings_;
  bool setpointLoaded_ = false;
  bool updatingControls_ = false;
  bool clockEdited_ = false;
  int shownSetpoint_ = 0;
};
