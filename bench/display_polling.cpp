// The W830 main window, offscreen, polling the simulated indicator (its weight
// moving) over TCP on 127.0.0.1 for a fixed time, in a real event loop as the
// program runs: display polls per second, the time from a poll's send to the
// Display page's LCD painting its reply, and the process's CPU time per second.
#include <sys/resource.h>

#include <QEventLoop>
#include <QFile>
#include <QPaintEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <QTest>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <vector>

#include "dialogs/comdialog.h"
#include "link/dmViewer.h"
#include "mainwindow/window/main.h"
#include "mainwindow/wire/threadpoller.h"
#include "mimic/voxMimicDisp.h"
#include "platform/exepath.h"
#include "platform/prompter.h"
#include "tools/sim/sim_indicator.h"
#include "tools/sim/sim_server.h"

namespace {

using Clock = std::chrono::steady_clock;

// Answers the connection dialog with the simulator's port; everything else with OK.
class TBenchPrompter final : public TPrompter {
 public:
  explicit TBenchPrompter(int port) : port_(port) { SetPrompter(this); }
  ~TBenchPrompter() override { SetPrompter(nullptr); }
  int MessageDlg(const QString&, TMsgDlgType, TMsgDlgButtons) override { return mrOk; }
  void ShowMessage(const QString&) override {}
  QString OpenFileName(QWidget*, const QString&, const QString&) override { return {}; }
  QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
  bool PrintDialog(QWidget*, QPrinter&) override { return false; }
  int ExecDialog(QDialog& dialog) override {
    if (auto* com = dynamic_cast<TFrmComDialog*>(&dialog)) {
      com->SetTcp(true);
      com->SetHostName(QStringLiteral("127.0.0.1"));
      com->SetTcpPort(port_);
    }
    return mrOk;
  }

 private:
  int port_;
};

// Takes the time of the first paint of the LCD after each display reply.
class TPaintTimer final : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint && pending) {
      latencies.push_back(std::chrono::duration<double, std::milli>(Clock::now() - sent).count());
      pending = false;
    }
    return false;
  }
  void ReplyTaken(Clock::time_point pollSent) {
    sent = pollSent;
    pending = true;
  }
  std::vector<double> latencies;

 private:
  Clock::time_point sent{};
  bool pending = false;
};

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double Percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[static_cast<std::size_t>(p * static_cast<double>(values.size() - 1))];
}

void BM_DisplayPolling(benchmark::State& state) {
  const int delayMs = static_cast<int>(state.range(0));
  QTemporaryDir dir;
  for (const char* file : {"W830_830lcd.VB2", "W830_830key.VB2", "W830_830panel.BMP"})
    QFile::copy(QStringLiteral(VIEWER_PANEL_DIR "/") + file, dir.filePath(QString::fromLatin1(file)));
  SetExecutableFileNameForTests(dir.filePath(QStringLiteral("W830_830")));
  sim::TSimIndicator indicator(sim::Model::W830, 1);
  sim::TSimServer server(indicator);
  const int port = server.ListenTcp(0);
  QFile ini(dir.filePath(QStringLiteral("W830_830.ini")));
  ini.open(QIODevice::WriteOnly);
  ini.write("[Options]\r\nFirstRun=0\r\n[General]\r\nBackgroundImage=W830_830panel.BMP\r\n");
  ini.close();
  TBenchPrompter prompter(port);
  TdatViewer store;
  TFrmMain window(w830::Variant());
  window.resize(700, 520);
  window.show();
  window.Connect2Click();
  if (!QTest::qWaitFor([&] { return window.Connected(); }, 10000)) {
    state.SkipWithError("could not connect to the simulated indicator");
    return;
  }
  sim::TSimFaults faults;
  faults.delayMs = delayMs;
  indicator.SetFaults(faults);
  // A weight that keeps moving, so that replies change the display.
  indicator.SetSignal(sim::Signal::kRamp, 1000, 3);

  const TPollStatusThread& thread = dynamic_cast<w830::TThreadPoller&>(window.Poller()).Thread();
  auto* mimic = window.findChild<TVoxMimicDisp*>(QStringLiteral("DisplayMimic"));
  TPaintTimer paints;
  mimic->installEventFilter(&paints);
  auto forward = window.Link().OnRxData;
  window.Link().OnRxData = [&](const std::string& data) {
    // Taken first: the reply lets the next poll go out at once.
    const auto sent = thread.PollSent();
    if (data.find('\r') != std::string::npos) paints.ReplyTaken(sent);
    forward(data);
  };

  // Counted from a poll already sent: the thread starts polling once connecting is done.
  if (!QTest::qWaitFor([&] { return thread.PollsSent() > 0; }, 10000)) {
    state.SkipWithError("the display is not polled");
    return;
  }
  const auto pollsBefore = thread.PollsSent();
  const auto firstSent = thread.PollSent();
  const double cpuBefore = CpuSeconds();
  const auto start = Clock::now();
  for (auto _ : state) {
    QEventLoop loop;
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  // Counted from send to send, so that a window's edges do not round the rate.
  const double polls = static_cast<double>(thread.PollsSent() - pollsBefore);
  const double pollSpan = std::chrono::duration<double>(thread.PollSent() - firstSent).count();
  state.counters["polls_per_s"] = pollSpan > 0 ? polls / pollSpan : 0;
  state.counters["send_to_lcd_p50_ms"] = Percentile(paints.latencies, 0.5);
  state.counters["send_to_lcd_p99_ms"] = Percentile(paints.latencies, 0.99);
  state.counters["cpu_percent_of_core"] = 100.0 * (CpuSeconds() - cpuBefore) / seconds;
  mimic->removeEventFilter(&paints);
  window.close();
  SetExecutableFileNameForTests(QString());
}

BENCHMARK(BM_DisplayPolling)->Arg(0)->Arg(30)->Arg(250)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
