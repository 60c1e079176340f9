#pragma once
// The W840's poller: no thread of its own; the window's 10 ms timer sends the polls,
// one at a time. On the Display and Calibration pages it asks for the display image
// and, every tenth time, for the status behind the address prefix; on the Log page,
// with polled logging, for the weight. The next poll goes out on the first tick
// after the last one's reply, or once its reply time-out has run down.
#include "mainwindow/wire/poller.h"

namespace w840 {

class TTimerPoller final : public TPoller {
 public:
  static constexpr int kPollsPerStatus = 10;

  explicit TTimerPoller(THost& host) : host_(host) {}

  void SetState(const TPollState& state) override { state_ = state; }
  void Start() override {}
  void Stop() override { stopped_ = true; }
  bool Running() const override;
  bool Outstanding() const override { return replyPendingTicks_ > 0; }
  void ReplyArrived() override { replyPendingTicks_ = 0; }
  void KeySent() override { replyPendingTicks_ = state_.replyTimeoutTicks; }
  void Tick() override;
  bool NeedsTicks() const override;
  void Reset() override;

 private:
  void Poll();

  THost& host_;
  TPollState state_;
  bool stopped_ = false;
  int statusPollCountdown_ = kPollsPerStatus;  // display polls left before the next status query
  int replyPendingTicks_ = 0;                  // no poll goes out while it is not 0
};

}  // namespace w840
