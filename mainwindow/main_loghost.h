#pragma once
// The W830 main window's side of the weight log, as TLogSession asks for it: the
// link and its requests, the "Logging" dialog, the axis inputs from the W830
// settings model, and polled logging on the poll thread. The W840 viewer puts its
// own settings model and its timer's polling in this place.
#include "mainwindow/logsession.h"
#include "mainwindow/main.h"

class TFrmMain::TLogHost final : public TLogSession::THost {
 public:
  explicit TLogHost(TFrmMain& window) : w_(window) {}

  bool LinkActive() const override;
  std::string AddressPrefix() const override;
  bool AskLogSetup() override;
  TLogChoice LogChoice() const override;
  TChartInputs ChartInputs() const override;
  bool QueryAck(const std::string& command) override;
  bool QuerySet(const std::string& command) override;
  void Send(const std::string& command) override;
  void StopStream() override;
  void ShowMessage(const QString& text) override;
  void Warn(const QString& text) override;
  void SetBusyCursor(bool busy) override;
  void LogModeChanged() override;

 private:
  TFrmMain& w_;
};
