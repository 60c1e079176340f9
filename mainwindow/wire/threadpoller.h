#pragma once
// The W830's poller: TPollStatusThread on its own thread, whose polls are handed to
// the GUI thread through a queue behind our own lock and sent there only when the
// window still wants them.
#include <QObject>
#include <deque>
#include <mutex>

#include "mainwindow/wire/poller.h"
#include "mainwindow/wire/pollthread.h"

namespace w830 {

class TThreadPoller final : public QObject, public TPoller {
  Q_OBJECT
 public:
  explicit TThreadPoller(THost& host);

  void SetState(const TPollState& state) override;
  void Start() override;
  void Stop() override { thread_.Stop(); }
  bool Running() const override { return thread_.Running(); }
  bool Outstanding() const override { return thread_.Outstanding(); }
  void ReplyArrived() override { thread_.EndThreadWait(); }
  // The W830 takes no reply for a key command.
  void KeySent() override {}
  // A poll held back while another command's reply was owed goes out now if it may.
  void Tick() override;
  bool NeedsTicks() const override { return !heldPoll_.empty(); }
  void Reset() override {}

  const TPollStatusThread& Thread() const { return thread_; }

 private:
  // Called by name, so that the hand-over is our own mutex, which the thread
  // sanitizer can see.
  Q_INVOKABLE void SendQueuedPolls();
  void PollSend(const std::string& command);
  bool Wanted(const std::string& command) const;

  THost& host_;
  TPollState state_;
  std::mutex queuedPollsMutex_;
  std::deque<std::string> queuedPolls_;
  std::string heldPoll_;  // GUI thread only
  TPollStatusThread thread_;
};

}  // namespace w830
