#pragma once
// What the main window asks of its settings pages, whichever indicator they show:
// fill them from the working model, store them back, and keep the shown setpoint
// and the scaled fields in step. Filling the pages never writes the model.
#include <QWidget>
#include <functional>

class QLineEdit;
class QTabBar;
class QTabWidget;
class TSettingsModel;

class TSettingsPagesCore : public QWidget {
 public:
  using QWidget::QWidget;

  // The working model the pages show and edit; not owned.
  void SetModel(TSettingsModel* model) { model_ = model; }
  void SetDecimalChar(QChar c) { decimalChar_ = c; }
  // The Calibration page's edits that the pages fill too (direct mV/V and the
  // calibration weight).
  void SetCalibrationEdits(QLineEdit* directZero, QLineEdit* directSpan, QLineEdit* calWeight);

  virtual void SettingsToControls(bool scaledOnly) = 0;
  // Stores every control into the model. A field that cannot be read keeps the
  // model's value and is reported; the others are still stored.
  virtual void ControlsToSettings() = 0;
  virtual void LoadSetpoint(int n) = 0;
  virtual void StoreSetpoint(int n) = 0;
  virtual void RefreshScaledFields() = 0;
  // A write has ended: edits that are sent only once made are made again first.
  virtual void WriteEnded() {}

  bool ControlsLoaded() const { return controlsLoaded_; }
  // The pages into the model, the shown setpoint included.
  void StorePages();
  // The model onto the pages, the shown setpoint included.
  void ShowPages();
  // The pages as the Settings tab first shows them.
  void ShowFirstPage();

  // The main window's status line, refreshed when the model is shown or stored.
  std::function<void()> OnUpdateStatusLine;
  // The units text changed: the Calibration page relabels and rebuilds its list.
  std::function<void(const QString& units)> OnUnitsChanged;

 protected:
  QTabWidget& SubPages() const;
  QTabBar& SetpointTabs() const;

  TSettingsModel* model_ = nullptr;
  QChar decimalChar_ = u'.';
  QLineEdit* calDirectZero_ = nullptr;
  QLineEdit* calDirectSpan_ = nullptr;
  QLineEdit* calWeight_ = nullptr;
  bool controlsLoaded_ = false;
};
