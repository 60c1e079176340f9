#pragma once
// The main window's side of a calibration step: its link and engine, the lock of
// the window, the Calibration page's fields and the working model.
#include "mainwindow/calibrationsteps.h"
#include "mainwindow/main.h"

class TFrmMain::TCalibrationHost final : public TCalibrationSteps::THost {
 public:
  explicit TCalibrationHost(TFrmMain& window) : w_(window) {}

  bool LinkActive() const override;
  bool Closing() const override;
  bool Unanswered() const override;
  bool Request(const std::string& command, int timeoutTicks, const TReplyHandler& handler,
               const std::string& prefix) override;
  TReplyContext& ReplyContext() override;
  int ReplyTimeout() const override;
  bool DelayTicks(int ticks) override;
  void StopStreamedLog() override;
  void SetCalibrating(bool on) override;
  void ShowCalSegments(const std::string& segments) override;
  void UpdateStatusLine() override;
  void SetInSync(bool inSync) override;
  void ReadSettings() override;
  std::string FieldText(TCalibrationSteps::TField field) const override;
  void SetFieldText(TCalibrationSteps::TField field, const std::string& text) override;
  int Decimals() const override;
  char DecimalChar() const override;
  int SelectedLinPoint() const override;
  void StoreDirectValue(TCalibrationSteps::TField field, int32_t value) override;
  TCalIdentity IndicatorIdentity() const override;
  int32_t WeighMode() const override;
  std::optional<int32_t> AskAbsoluteValue(const QString& prompt, int32_t value) override;
  QWidget* DialogParent() override;

 private:
  QLineEdit* Edit(TCalibrationSteps::TField field) const;

  TFrmMain& w_;
};
