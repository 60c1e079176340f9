#pragma once
// The settings pages of either viewer: every setting of the working model on a
// control, moved both ways by SettingsToControls and ControlsToSettings, the shown
// setpoint record and serial port, and the input checks of the edits. A page set
// (the W830's or the W840's) supplies its form and its tables and answers for its
// serial tabs; this does the rest. Filling the pages never writes the model.
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "protocol/settingsengine.h"

class QLineEdit;
class QTabBar;
class QTabWidget;
struct TEditBinding;
struct TPageControls;
struct TPageBindings;
struct TStoredRange;

class TSettingsPagesCore : public QWidget {
 public:
  explicit TSettingsPagesCore(QWidget* parent = nullptr);
  ~TSettingsPagesCore() override;

  // The working model the pages show and edit; not owned. Its type must be the
  // page set's.
  void SetModel(TSettingsModel* model) { model_ = model; }
  void SetDecimalChar(QChar c) { decimalChar_ = c; }
  // The Calibration page's edits that the pages fill too (direct mV/V and the
  // calibration weight).
  void SetCalibrationEdits(QLineEdit* directZero, QLineEdit* directSpan, QLineEdit* calWeight);

  void SettingsToControls(bool scaledOnly);
  // Stores every control into the model. A field that cannot be stored (no number,
  // or a value its settings line could not carry back to the viewer or the
  // indicator) keeps the model's value; the others are still stored. The first
  // refusal is shown, and the result says whether there was one.
  bool ControlsToSettings();
  void LoadSetpoint(int n);
  // The shown setpoint's controls into record n, refusals as ControlsToSettings.
  bool StoreSetpoint(int n);
  void RefreshScaledFields();
  // A write has ended: edits that are sent only once made are made again first.
  virtual void WriteEnded() {}

  bool ControlsLoaded() const { return controlsLoaded_; }
  // The decimals the decimal point box shows, and the units box's choice and names.
  int Decimals() const;
  int ShownUnits() const;
  QString UnitsName(int index) const;
  // The pages into the model, the shown setpoint included; false, after one box
  // that says why, when a field could not be stored. Save, Write and Print then stop.
  bool StorePages();
  // The model onto the pages, the shown setpoint included.
  void ShowPages();
  // The pages as the Settings tab first shows them.
  void ShowFirstPage();

  // The main window's status line, refreshed when the model is shown or stored.
  std::function<void()> OnUpdateStatusLine;
  // The units text changed: the Calibration page relabels and rebuilds its list.
  std::function<void(const QString& units)> OnUnitsChanged;
  // The scaled fields were shown: the Calibration page's list follows, in the
  // model's units (an index of CBxUnits).
  std::function<void(int units)> OnShowLinearisation;
  // Every page was shown from the model or stored into it: the Calibration page
  // follows the model's weigh mode.
  std::function<void()> OnModelSettled;

 protected:
  // Called by the page set once its form is set up: binds the shared rows and its own.
  void Bind(const TPageBindings& own);

  // What a page set shows, stores and arranges beyond its tables.
  virtual void ShowOwnSettings() {}
  virtual void ShowOwnScaled() {}
  virtual void StoreOwnSettings() {}
  // The serial record of a tab, whether the tab may change it (the port the
  // indicator is talking through may not), and the use list and enabling of the tab.
  virtual settings::TSerialPort& SerialRecord(int tab) = 0;
  virtual bool SerialRecordLocked(int tab) const = 0;
  virtual void ArrangeSerialTab(int tab) = 0;

  bool eventFilter(QObject* watched, QEvent* event) override;

  TSettingsModel* model_ = nullptr;
  QChar decimalChar_ = u'.';

 private:
  // Why the first field of a collection could not be stored.
  using TRefusal = std::optional<QString>;
  void CollectControls(TRefusal& refusal);
  void CollectSetpoint(int n, TRefusal& refusal);
  // Shows the refusal, if any; true when there was none.
  bool Report(const TRefusal& refusal);
  void CBxDPChange();
  void CBxUnitsChange();
  void cbEthDHCPChange();
  void tcSerialChange();
  void cbSerialChange();
  void PgCSettingsChange(int index);
  void CtrlSetpointChange(int index);
  // Each setpoint tab shows whether its stored record is in use.
  void CtrlSetpointDrawTab();
  void MemoHeaderChange();
  // Whether an edit has a check on its keys or on leaving it.
  static bool HasInputCheck(const QObject* edit);
  bool KeyFilter(QLineEdit* edit, QChar key);
  void ExitCheck(QLineEdit* edit);
  // A field check's warning, remembered until the next key typed into a field.
  void WarnOnExit(const QString& text);
  // A value the line cannot carry is refused, unless it is the one the model holds
  // already (a factory value outside the range, written back as it came).
  void StoreInRange(int32_t value, const TStoredRange& range, int decimals, int32_t& target, TRefusal& refusal);
  void StoreEdit(QLineEdit* edit, const TEditBinding& binding, int decimals, TRefusal& refusal);
  void StoreInteger(QLineEdit* edit, const TStoredRange& range, int32_t& target, TRefusal& refusal);
  // A direct mV/V text into its stored ten-thousandths, rounded half to even.
  void StoreMilliVoltsPerVolt(QLineEdit* edit, int32_t& target, TRefusal& refusal);
  // The value of a numeric edit, its text brought to the decimals of its kind.
  int32_t ReadEdit(const QLineEdit* edit, const TEditBinding& binding, int scaledDecimals) const;
  void ShowError(const QString& text);
  int SerialTab() const;

  std::unique_ptr<TPageControls> bound_;
  QLineEdit* calDirectZero_ = nullptr;
  QLineEdit* calDirectSpan_ = nullptr;
  QLineEdit* calWeight_ = nullptr;
  bool controlsLoaded_ = false;
  bool setpointLoaded_ = false;
  bool updatingControls_ = false;
  int shownSetpoint_ = 0;
  // The decimals the scaled fields and the shown record were drawn with: a decimal
  // point change reads the typed texts back with these before it draws them anew.
  int shownDecimals_ = 0;
  // The sync filter box shows "50" for a frequency its list lacks: that entry only
  // stands in for the model's value, which stays until the technician picks one.
  bool filterStandsIn_ = false;
  QString exitWarning_;
};
