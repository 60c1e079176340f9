#pragma once
// The modal progress dialog of a settings transfer. The main window fills it,
// routes every reply to ReplyReceived while it runs, and reads Replies() after mrOk.
#include <QDialog>
#include <QTimer>
#include <memory>

#include "dialogs/trafficsteps.h"

namespace Ui {
class TFrmTraffic;
}

class TFrmTraffic : public QDialog {
  Q_OBJECT
 public:
  explicit TFrmTraffic(QWidget* parent = nullptr);
  ~TFrmTraffic() override;

  // How commands reach the instrument (the main window's send path).
  TTrafficSteps::TSend SendCommand;
  // No earlier reply is owed on the link (unset: always).
  std::function<bool()> LinkClear;
  // The reply to the last send has been waited for long enough: a resend is due.
  std::function<void()> GiveUpReply;

  void SetCommands(const std::vector<std::string>& commands, const std::vector<std::string>& replySlots);
  void ReplyReceived(const std::string& reply);
  const std::vector<std::string>& Replies() const { return steps_.Replies(); }
  // The last run ended because the instrument did not answer; its caller shows
  // "Instrument Not Responding", since a timer slot never waits on a box.
  bool GaveUp() const { return gaveUp_; }
  void SetAnimateActive(bool active);
  // One step, as the 20 ms timer does it; tests call it instead of waiting.
  void Timer1Timer();
  QTimer& Timer1() { return timer_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void reject() override;

 private:
  void btnCancelClick();
  void UpdateProgress();

  std::unique_ptr<Ui::TFrmTraffic> ui_;
  TTrafficSteps steps_;
  QTimer timer_;
  bool gaveUp_ = false;
};
