// A full settings read, and the write of one changed protected setting, against the
// simulated indicator over TCP on 127.0.0.1, with the transfer dialog's 20 ms steps
// on a real timer. Each run reports beside its time the least those steps allow:
// two ticks before the first command, one tick per answered command, one to finish.
// Every command and reply goes through the link's account of owed replies, and
// every reply to a query through the model's check of its shape, as in the main
// window.
#include <QEventLoop>
#include <QTcpSocket>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <functional>
#include <optional>
#include <stdexcept>
#include <utility>

#include "dialogs/trafficsteps.h"
#include "link/replyledger.h"
#include "mainwindow/settings/settingstransfer.h"
#include "protocol/database.h"
#include "tools/sim/sim_indicator.h"
#include "tools/sim/sim_server.h"

namespace {

constexpr int kTickMs = 20;
constexpr int kStartTicks = 2;
constexpr int kQueryWaitMs = 2000;

// The main window's side of a transfer on a bare TCP link.
class TTcpHost : public TSettingsTransfer::THost {
 public:
  TTcpHost(uint16_t port, const TSettingsModel& model) : model_(model) {
    socket_.connectToHost("127.0.0.1", port);
    if (!socket_.waitForConnected(kQueryWaitMs)) throw std::runtime_error("simulator not reachable");
    QObject::connect(&socket_, &QTcpSocket::readyRead, [this] { Receive(); });
  }

  bool LinkActive() const override { return socket_.state() == QAbstractSocket::ConnectedState; }
  void SetTransferBusy(bool) override {}
  void WaitOneReplyTimeout() override {}
  int PollMode() const override { return mode_; }
  void SetPollMode(int mode) override { mode_ = mode; }
  void RestartPolling() override {}
  bool RunTraffic(const std::string&, const std::vector<std::string>& commands,
                  const std::vector<std::string>& replySlots, std::vector<std::string>& replies) override {
    TTrafficSteps steps;
    steps.SetCommands(commands, replySlots);
    steps.Start();
    QEventLoop loop;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    bool ok = false;
    QObject::connect(&timer, &QTimer::timeout, [&] {
      const auto outcome = steps.Tick(
          [this](const std::string& command) {
            Send(command, [this, command](const std::string& reply) { return model_.ReplyFits(command, reply); });
          },
          ledger_.Clear());
      if (outcome == TTrafficSteps::TOutcome::kRunning) return;
      ok = outcome == TTrafficSteps::TOutcome::kDone;
      loop.quit();
    });
    onReply_ = [&](const std::string& reply) { steps.ReplyReceived(reply); };
    timer.start(kTickMs);
    loop.exec();
    onReply_ = nullptr;
    ticksAllowed_ += kStartTicks + static_cast<int>(commands.size()) + 1;
    replies = steps.Replies();
    return ok;
  }
  std::optional<int32_t> QueryInteger(const std::string& command, const std::string&) override {
    const std::optional<std::string> reply = Ask(command);
    if (!reply || *reply == "?") return std::nullopt;
    return std::stoi(*reply);
  }
  bool QueryWfp() override { return QueryInteger("WFP?", "WFP").has_value(); }
  bool QuerySet(const std::string& command) override {
    const std::optional<std::string> reply = Ask(command);
    return reply && *reply != "?";
  }
  std::optional<std::string> AskPasscode() override { return passcode; }
  bool ControlsToSettings() override { return true; }
  void SettingsToControls() override {}
  bool SettingsPagesShown() const override { return true; }
  void SettingsLoaded() override {}
  void SetInSync(bool value) override { inSync = value; }
  void UpdateStatusLine() override {}
  void ClearClockEdited() override {}
  void SetBusyCursor(bool) override {}

  int TakeTicksAllowed() { return std::exchange(ticksAllowed_, 0); }

  std::optional<std::string> passcode;
  bool inSync = false;

 private:
  void Send(const std::string& command, TReplyShape fits = {}) {
    if (TReplyLedger::ReplyExpected(command)) ledger_.Owe(TReplyOwner::kTraffic, command, 0, std::move(fits));
    socket_.write(QByteArray::fromStdString(command + ";"));
    socket_.flush();
  }
  std::optional<std::string> Ask(const std::string& command) {
    std::optional<std::string> answer;
    QEventLoop loop;
    onReply_ = [&](const std::string& reply) {
      answer = reply;
      loop.quit();
    };
    QTimer::singleShot(kQueryWaitMs, &loop, &QEventLoop::quit);
    Send(command);
    loop.exec();
    onReply_ = nullptr;
    return answer;
  }
  void Receive() {
    rx_ += socket_.readAll().toStdString();
    std::size_t end;
    while ((end = rx_.find("\r\n")) != std::string::npos) {
      const std::string line = rx_.substr(0, end);
      rx_.erase(0, end + 2);
      const TReplyLedger::TClaim claim = ledger_.Claim(line);
      if (claim.owed && !claim.entry.late && onReply_) onReply_(line);
    }
  }

  const TSettingsModel& model_;
  QTcpSocket socket_;
  std::string rx_;
  TReplyLedger ledger_;
  std::function<void(const std::string&)> onReply_;
  int mode_ = 1;
  int ticksAllowed_ = 0;
};

struct TBench {
  sim::TSimIndicator indicator{sim::Model::W830, 1};
  sim::TSimServer server{indicator};
  std::optional<TTcpHost> host;
  w830::Tdata7400 working, instrument;
  std::optional<TSettingsTransfer> transfer;

  TBench() {
    host.emplace(server.ListenTcp(0), working);
    transfer.emplace(*host, working, instrument);
  }
};

void ReportFloor(benchmark::State& state, int ticks, int runs) {
  state.counters["floor_ms"] = static_cast<double>(ticks) * kTickMs / runs;
}

void BM_ReadAllSettings(benchmark::State& state) {
  TBench b;
  int ticks = 0;
  int runs = 0;
  for (auto _ : state) {
    b.transfer->ReadSettings1Click();
    if (!b.host->inSync) state.SkipWithError("read did not complete");
    ticks += b.host->TakeTicksAllowed();
    ++runs;
  }
  std::vector<std::string> queries, prefixes;
  b.working.BuildQueries(true, queries, prefixes);
  state.counters["commands"] = static_cast<double>(queries.size());
  ReportFloor(state, ticks, runs);
}
BENCHMARK(BM_ReadAllSettings)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_WriteOneProtectedSetting(benchmark::State& state) {
  TBench b;
  b.indicator.SetPasscode("1234");
  b.host->passcode = "1234";
  b.transfer->ReadSettings1Click();
  b.host->TakeTicksAllowed();
  int ticks = 0;
  int runs = 0;
  for (auto _ : state) {
    b.working.Units = b.instrument.Units == 1 ? 2 : 1;
    b.host->inSync = false;
    b.transfer->WriteSettings1Click();
    if (!b.host->inSync || b.indicator.Setting("ENU") != "ENU" + std::to_string(b.working.Units))
      state.SkipWithError("write did not complete");
    ticks += b.host->TakeTicksAllowed();
    ++runs;
  }
  std::vector<std::string> queries, prefixes;
  b.working.BuildQueries(false, queries, prefixes);
  // The base read, then the changed line; "PCD?", the passcode, "PCD" and "TDD1" go outside the steps.
  state.counters["commands"] = static_cast<double>(queries.size() + 1 + 4);
  ReportFloor(state, ticks, runs);
}
BENCHMARK(BM_WriteOneProtectedSetting)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace
