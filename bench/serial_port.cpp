// The serial driver against Qt's QSerialPort, side by side on pseudo-terminal
// pairs in one run:
// - latency: one byte written at the far end by a thread of its own until the
//   receive handler runs on the GUI thread (p50 and p99 in microseconds);
// - throughput: 4 MiB written at the far end by a thread of its own until the
//   handler has taken all of it;
// - idle: the process's CPU time per second of wall time with an open port and
//   nothing arriving.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <QEventLoop>
#include <QSerialPort>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <ctime>
#include <functional>
#include <memory>
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

// The far end writes from a thread of its own while the GUI thread sleeps in its
// event loop, as a byte from a real device would come.
template <class R>
void Latency(benchmark::State& state) {
  Pty pty;
  R receiver(pty.Slave());
  QEventLoop loop;
  std::atomic<bool> armed{false}, stop{false};
  std::atomic<int64_t> sentNs{0};
  std::vector<double> micros;
  receiver.OnBytes = [&](size_t) {
    const auto now = Clock::now().time_since_epoch();
    micros.push_back(static_cast<double>(std::chrono::nanoseconds(now).count() - sentNs) / 1000.0);
    loop.quit();
  };
  std::thread farEnd([&] {
    while (!stop) {
      if (!armed.exchange(false)) {
        std::this_thread::yield();
        continue;
      }
      std::this_thread::sleep_for(std::chrono::microseconds(200));
      sentNs = std::chrono::nanoseconds(Clock::now().time_since_epoch()).count();
      pty.Write("x", 1);
    }
  });
  for (auto _ : state) {
    armed = true;
    loop.exec();
  }
  stop = true;
  farEnd.join();
  std::sort(micros.begin(), micros.end());
  if (micros.empty()) return;
  state.counters["p50_us"] = micros[micros.size() / 2];
  state.counters["p99_us"] = micros[std::min(micros.size() - 1, micros.size() * 99 / 100)];
}

template <class R>
void Throughput(benchmark::State& state) {
  constexpr size_t kTotal = 4 << 20;
  const std::string chunk(4096, 'T');
  for (auto _ : state) {
    Pty pty;
    R receiver(pty.Slave());
    QEventLoop loop;
    size_t got = 0;
    receiver.OnBytes = [&](size_t n) {
      got += n;
      if (got >= kTotal) loop.quit();
    };
    std::thread farEnd([&] {
      for (size_t sent = 0; sent < kTotal; sent += chunk.size()) pty.Write(chunk.data(), chunk.size());
    });
    loop.exec();
    farEnd.join();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kTotal));
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

BENCHMARK_TEMPLATE(Latency, DriverReceiver)->Iterations(2000)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(Latency, QtReceiver)->Iterations(2000)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(Throughput, DriverReceiver)->Iterations(5)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(Throughput, QtReceiver)->Iterations(5)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(IdleCpu, DriverReceiver)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(IdleCpu, QtReceiver)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
