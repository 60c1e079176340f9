// The serial driver against Qt's QSerialPort, side by side on pseudo-terminal
// pairs in one run, each measure taken in alternating turns:
// - latency: one byte written at the far end by a thread of its own until the
//   receive handler runs on the GUI thread (p50 and p99 in microseconds);
// - throughput: 4 MiB written at the far end by a thread of its own until the
//   handler has taken all of it (the median transfer, in MiB/s);
// - idle: the process's CPU time per second of wall time with an open port and
//   nothing arriving;
// - stream: the same while the far end sends 11,520 bytes a second (what 115200
//   baud carries) in 16-byte pieces, as a UART's receive FIFO hands them on, for
//   10 s; the far end's own CPU time is not counted.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <QEventLoop>
#include <QSerialPort>
#include <QTimer>
#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <ctime>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "serial/SerComPort.h"

namespace {

using Clock = std::chrono::steady_clock;

class Pty {
 public:
  Pty() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char name[128];
    if (master_ < 0 || ::grantpt(master_) || ::unlockpt(master_) || ::ptsname_r(master_, name, sizeof name))
      throw std::runtime_error("no pseudo-terminal");
    slave_ = name;
  }
  ~Pty() { ::close(master_); }
  const std::string& Slave() const { return slave_; }
  void Write(const char* data, size_t n) {
    while (n > 0) {
      const ssize_t w = ::write(master_, data, n);
      if (w <= 0) throw std::runtime_error("far end write failed");
      data += w;
      n -= static_cast<size_t>(w);
    }
  }

 private:
  int master_ = -1;
  std::string slave_;
};

// The receiving side under test: opens the slave and calls back with each delivery's bytes.
class Receiver {
 public:
  virtual ~Receiver() = default;
  std::function<void(size_t bytes)> OnBytes;
};

class DriverReceiver final : public Receiver {
 public:
  explicit DriverReceiver(const std::string& device) {
    port_.SetDeviceName(device);
    port_.SetBaud(115200);
    port_.SetOnTriggerAvail([this](TSerComPort* cp, int count) {
      cp->GetBlock(count);
      if (OnBytes) OnBytes(static_cast<size_t>(count));
    });
    port_.SetOpen(true);
  }

 private:
  TSerComPort port_;
};

class QtReceiver final : public Receiver {
 public:
  explicit QtReceiver(const std::string& device) {
    port_.setPortName(QString::fromStdString(device));
    port_.setBaudRate(115200);
    QObject::connect(&port_, &QSerialPort::readyRead, [this] {
      const QByteArray got = port_.readAll();
      if (OnBytes) OnBytes(static_cast<size_t>(got.size()));
    });
    if (!port_.open(QIODevice::ReadWrite)) throw std::runtime_error(port_.errorString().toStdString());
  }

 private:
  QSerialPort port_;
};

// The far end writes one byte at a time from a thread of its own while the GUI
// thread sleeps in its event loop, as a byte from a real device would come.
class LatencyProbe {
 public:
  template <class R>
  static std::unique_ptr<LatencyProbe> Make(std::chrono::microseconds pause) {
    auto probe = std::unique_ptr<LatencyProbe>(new LatencyProbe(pause));
    probe->receiver_ = std::make_unique<R>(probe->pty_.Slave());
    probe->receiver_->OnBytes = [p = probe.get()](size_t) {
      const int64_t now = std::chrono::nanoseconds(Clock::now().time_since_epoch()).count();
      p->micros_.push_back(static_cast<double>(now - p->sentNs_) / 1000.0);
      p->loop_.quit();
    };
    probe->farEnd_ = std::thread([p = probe.get()] { p->FarEnd(); });
    return probe;
  }
  ~LatencyProbe() {
    {
      std::lock_guard lock(lock_);
      stop_ = true;
    }
    wake_.notify_one();
    farEnd_.join();
  }
  void Sample() {
    {
      std::lock_guard lock(lock_);
      armed_ = true;
    }
    wake_.notify_one();
    loop_.exec();
  }
  const std::vector<double>& Micros() const { return micros_; }

 private:
  explicit LatencyProbe(std::chrono::microseconds pause) : pause_(pause) {}
  // The pause lets the receiving threads fall asleep before the byte goes out.
  void FarEnd() {
    for (;;) {
      {
        std::unique_lock lock(lock_);
        wake_.wait(lock, [this] { return armed_ || stop_; });
        if (stop_) return;
        armed_ = false;
      }
      std::this_thread::sleep_for(pause_);
      sentNs_ = std::chrono::nanoseconds(Clock::now().time_since_epoch()).count();
      pty_.Write("x", 1);
    }
  }

  const std::chrono::microseconds pause_;
  Pty pty_;
  std::unique_ptr<Receiver> receiver_;
  QEventLoop loop_;
  std::mutex lock_;
  std::condition_variable wake_;
  bool armed_ = false, stop_ = false;
  std::atomic<int64_t> sentNs_{0};
  std::vector<double> micros_;
  std::thread farEnd_;
};

double Percentile(std::vector<double> values, int percent) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[std::min(values.size() - 1, values.size() * percent / 100)];
}

// Seconds until the receiver has taken 4 MiB written at the far end by a thread of its own.
template <class R>
double TransferSeconds() {
  constexpr size_t kTotal = 4 << 20;
  const std::string chunk(4096, 'T');
  Pty pty;
  R receiver(pty.Slave());
  QEventLoop loop;
  size_t got = 0;
  receiver.OnBytes = [&](size_t n) {
    got += n;
    if (got >= kTotal) loop.quit();
  };
  const auto start = Clock::now();
  std::thread farEnd([&] {
    for (size_t sent = 0; sent < kTotal; sent += chunk.size()) pty.Write(chunk.data(), chunk.size());
  });
  loop.exec();
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  farEnd.join();
  return seconds;
}

// Both ports are measured in alternating turns within one benchmark, so that drift
// in the machine's state (clock rates, where the scheduler puts the threads) falls
// on both alike rather than on whichever runs second.
// The pause before each byte is the argument, in microseconds: a short one finds
// the receiving threads' processors still awake, a long one, as between an
// indicator's replies, finds them idle.
void Latency(benchmark::State& state) {
  const std::chrono::microseconds pause(state.range(0));
  auto driver = LatencyProbe::Make<DriverReceiver>(pause);
  auto qt = LatencyProbe::Make<QtReceiver>(pause);
  bool driverFirst = true;
  for (auto _ : state) {
    for (LatencyProbe* probe : driverFirst ? std::array{driver.get(), qt.get()} : std::array{qt.get(), driver.get()})
      for (int i = 0; i < 10; ++i) probe->Sample();
    driverFirst = !driverFirst;
  }
  state.counters["driver_p50_us"] = Percentile(driver->Micros(), 50);
  state.counters["driver_p99_us"] = Percentile(driver->Micros(), 99);
  state.counters["qt_p50_us"] = Percentile(qt->Micros(), 50);
  state.counters["qt_p99_us"] = Percentile(qt->Micros(), 99);
}

void Throughput(benchmark::State& state) {
  std::vector<double> driver, qt;
  bool driverFirst = true;
  for (auto _ : state) {
    if (driverFirst) driver.push_back(TransferSeconds<DriverReceiver>());
    qt.push_back(TransferSeconds<QtReceiver>());
    if (!driverFirst) driver.push_back(TransferSeconds<DriverReceiver>());
    driverFirst = !driverFirst;
  }
  constexpr double kMiB = 4.0;
  const double driverMiBps = kMiB / Percentile(driver, 50), qtMiBps = kMiB / Percentile(qt, 50);
  state.counters["driver_MiB_per_s"] = driverMiBps;
  state.counters["qt_MiB_per_s"] = qtMiBps;
  state.counters["driver_to_qt"] = driverMiBps / qtMiBps;
}

double ProcessCpuSeconds() {
  timespec t{};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

template <class R>
void IdleCpu(benchmark::State& state) {
  Pty pty;
  R receiver(pty.Slave());
  double cpu = 0, wall = 0;
  for (auto _ : state) {
    const double c0 = ProcessCpuSeconds();
    const auto w0 = Clock::now();
    QEventLoop loop;
    QTimer::singleShot(1000, &loop, &QEventLoop::quit);
    loop.exec();
    cpu += ProcessCpuSeconds() - c0;
    wall += std::chrono::duration<double>(Clock::now() - w0).count();
  }
  state.counters["cpu_percent"] = wall > 0 ? 100.0 * cpu / wall : 0;
}

// The far end of a paced stream: 16 bytes every 1/720 s until stopped, on a thread
// of its own whose CPU time is kept apart.
class PacedFarEnd {
 public:
  static constexpr size_t kPiece = 16;
  static constexpr int kPiecesPerSecond = 11520 / kPiece;

  explicit PacedFarEnd(Pty& pty) : thread_([this, &pty] { Run(pty); }) {}
  ~PacedFarEnd() { Stop(); }
  // Stops the stream; the far end's CPU seconds.
  double Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    return cpu_;
  }

 private:
  void Run(Pty& pty) {
    const char piece[kPiece] = {};
    const double c0 = ThreadCpuSeconds();
    auto next = Clock::now();
    while (!stop_) {
      pty.Write(piece, kPiece);
      next += std::chrono::microseconds(1000000 / kPiecesPerSecond);
      std::this_thread::sleep_until(next);
    }
    cpu_ = ThreadCpuSeconds() - c0;
  }
  static double ThreadCpuSeconds() {
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
  }

  std::atomic<bool> stop_{false};
  double cpu_ = 0;
  std::thread thread_;
};

template <class R>
void StreamCpu(benchmark::State& state) {
  Pty pty;
  R receiver(pty.Slave());
  size_t got = 0;
  receiver.OnBytes = [&](size_t n) { got += n; };
  double cpu = 0, wall = 0;
  for (auto _ : state) {
    const double c0 = ProcessCpuSeconds();
    const auto w0 = Clock::now();
    PacedFarEnd farEnd(pty);
    QEventLoop loop;
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    const double farEndCpu = farEnd.Stop();
    cpu += ProcessCpuSeconds() - c0 - farEndCpu;
    wall += std::chrono::duration<double>(Clock::now() - w0).count();
  }
  state.counters["cpu_percent"] = wall > 0 ? 100.0 * cpu / wall : 0;
  state.counters["bytes_per_s"] = wall > 0 ? static_cast<double>(got) / wall : 0;
}

BENCHMARK(Latency)->Arg(200)->Arg(2000)->Iterations(100)->Unit(benchmark::kMicrosecond);
BENCHMARK(Throughput)->Iterations(20)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(IdleCpu, DriverReceiver)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(IdleCpu, QtReceiver)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(StreamCpu, DriverReceiver)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(StreamCpu, QtReceiver)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
