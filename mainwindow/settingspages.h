#pragma once
// The eleven settings pages of the W830 main window: every setting of the working
// model on a control, moved both ways by SettingsToControls and ControlsToSettings,
// with the input checks of the edits. Filling the pages never writes the model.
#include <QWidget>
#include <functional>
#include <memory>

class QLineEdit;
struct TEditBinding;
namespace Ui {
class TSettingsPages;
}
namespace w830 {
class Tdata7400;
}

class TSettingsPages : public QWidget {
  Q_OBJECT
 public:
  explicit TSettingsPages(QWidget* parent = nullptr);
  ~TSettingsPages() override;

  Ui::TSettingsPages& Form() { return *ui_; }

  // The working model the pages show and edit; not owned.
  void SetModel(w830::Tdata7400* model) { model_ = model; }
  void SetDecimalChar(QChar c) { decimalChar_ = c; }
  // The Calibration page's edits that the pages fill too (direct mV/V and the
  // calibration weight).
  void SetCalibrationEdits(QLineEdit* directZero, QLineEdit* directSpan, QLineEdit* calWeight);

  void SettingsToControls(bool scaledOnly);
  // Stores every control into the model. A field that cannot be read keeps the
  // model's value and is reported; the others are still stored.
  void ControlsToSettings();
  void LoadSetpoint(int n);
  void StoreSetpoint(int n);
  void RefreshScaledFields();

  bool ControlsLoaded() const { return controlsLoaded_; }
  void ClearLoaded() { controlsLoaded_ = false; }
  bool ClockEdited() const { return clockEdited_; }
  void ClearClockEdited() { clockEdited_ = false; }

  // The main window's status line, refreshed when the model is shown or stored.
  std::function<void()> OnUpdateStatusLine;
  // The units text changed: the Calibration page relabels and rebuilds its list.
  std::function<void(const QString& units)> OnUnitsChanged;
  // The scaled fields were shown: the Calibration page's list follows, in the
  // model's units (an index of CBxUnits).
  std::function<void(int units)> OnShowLinearisation;

  // Every function a serial port can have, by its stored number; each serial tab
  // lists the first few of them.
  static const QStringList& SerialFunctionNames();

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
  // Each setpoint tab shows whether its stored record is in use.
  void CtrlSetpointDrawTab();
  void MemoHeaderChange();
  int SerialTabPort() const;
  int Decimals() const;
  bool KeyFilter(QLineEdit* edit, QChar key);
  void ExitCheck(QLineEdit* edit);
  bool StoreInteger(QLineEdit* edit, int32_t& target);
  // A direct mV/V text into its stored ten-thousandths, rounded half to even.
  bool StoreMilliVoltsPerVolt(QLineEdit* edit, int32_t& target);
  // The value of a numeric edit, its text brought to the decimals of its kind.
  int32_t ReadEdit(const QLineEdit* edit, const TEditBinding& binding, int scaledDecimals) const;
  void ShowError(const QString& text);

  std::unique_ptr<Ui::TSettingsPages> ui_;
  std::unique_ptr<TBindings> bindings_;
  w830::Tdata7400* model_ = nullptr;
  QChar decimalChar_ = u'.';
  QLineEdit* calDirectZero_ = nullptr;
  QLineEdit* calDirectSpan_ = nullptr;
  QLineEdit* calWeight_ = nullptr;
  bool controlsLoaded_ = false;
  bool setpointLoaded_ = false;
  bool updatingControls_ = false;
  bool clockEdited_ = false;
  int shownSetpoint_ = 0;
  // The decimals the scaled fields and the shown record were drawn with: a decimal
  // point change reads the typed texts back with these before it draws them anew.
  int shownDecimals_ = 0;
};
