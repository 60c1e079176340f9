#include "dialogs/trafficdlg.h"


#include "platform/prompter.h"
#include "ui_trafficdlg.h"

TFrmTraffic::TFrmTraffic(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TFrmTraffic>()) {
  ui_->setupUi(this);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint);
  SetAnimateActive(false);
  connect(ui_->btnCancel, &QPushButton::clicked, this, [this] { btnCancelClick(); });
  timer_.setInterval(20);
  connect(&timer_, &QTimer::timeout, this, [this] { Timer1Timer(); });
}

TFrmTraffic::~TFrmTraffic() = default;

void TFrmTraffic::SetCommands(const std::vector<std::string>& commands, const std::vector<std::string>& replySlots) {
  steps_.SetCommands(commands, replySlots);
  UpdateProgress();
}

void TFrmTraffic::ReplyReceived(const std::string& reply) {
  steps_.ReplyReceived(reply);
  UpdateProgress();
}

void TFrmTraffic::SetAnimateActive(bool active) {
  // A busy bar stands in for the file-copy animation.
  ui_->Animate->setMaximum(active ? 0 : 1);
  ui_->Animate->setVisible(active);
}

void TFrmTraffic::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  gaveUp_ = false;
  steps_.Start();
  timer_.start();
}

void TFrmTraffic::Timer1Timer() {
  if (steps_.RetryDue() && GiveUpReply) GiveUpReply();
  const auto outcome = steps_.Tick(
      [this](const std::string& command) {
        if (SendCommand) SendCommand(command);
      },
      !LinkClear || LinkClear());
  UpdateProgress();
  if (outcome == TTrafficSteps::TOutcome::kDone) {
    timer_.stop();
    done(mrOk);
  } else if (outcome == TTrafficSteps::TOutcome::kGaveUp) {
    timer_.stop();
    SetAnimateActive(false);
    gaveUp_ = true;
    done(mrCancel);
  }
}

void TFrmTraffic::btnCancelClick() {
  steps_.Cancel();
  timer_.stop();
  done(mrCancel);
}

void TFrmTraffic::reject() { btnCancelClick(); }

void TFrmTraffic::UpdateProgress() {
  ui_->PBprogress->setMaximum(std::max(steps_.ProgressMax(), 1));
  ui_->PBprogress->setValue(std::min(steps_.Progress(), ui_->PBprogress->maximum()));
}
