// Each real program in a process of its own, on a private Xvfb display, connected
// over TCP on 127.0.0.1 to the simulated indicator with a moving weight, left on the
// Display page: the CPU it uses (all its threads, from /proc/<pid>/task/*/schedstat),
// its context switches and the polls the indicator sees, per second.
//
// The programs are taken from the build's bin folder, or from the folders that
// VIEWER_PROGRAM_DIR names, separated by ':' (so that another build's programs are
// measured in the same run, each program's folders one after the other). The
// connection is made as a person makes it: Alt+C on the main window, Return in the
// connection dialog (through XTest). Wake-ups are the voluntary context switches:
// the rest are the machine's load taking the processor away.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tools/sim/sim_indicator.h"
#include "tools/sim/sim_server.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto kWarmUp = 3s;
constexpr auto kMeasured = 15s;

struct TProgram {
  const char* name;
  const char* title;
  sim::Model model;
};

pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv) {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::vector<std::string> env(extraEnv);
  for (char** e = environ; *e; ++e) env.emplace_back(*e);
  std::vector<char*> envp;
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0) return -1;
  return pid;
}

void Stop(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
}

// A private X server; Xvfb picks a free display number and writes it to a pipe.
class TXvfb {
 public:
  TXvfb() {
    int fds[2];
    if (pipe(fds) != 0) return;
    pid_ = Spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-nolisten", "tcp", "-screen", "0", "1024x768x24"},
                 {});
    close(fds[1]);
    std::string number;
    char c = 0;
    while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (number.empty()) return;
    name_ = ":" + number;
    display_ = XOpenDisplay(name_.c_str());
  }
  ~TXvfb() {
    if (display_) XCloseDisplay(display_);
    Stop(pid_);
  }
  Display* display() const { return display_; }
  const std::string& name() const { return name_; }

 private:
  pid_t pid_ = -1;
  std::string name_;
  Display* display_ = nullptr;
};

// The viewable top-level windows and their titles.
std::vector<std::pair<Window, std::string>> TopLevels(Display* d) {
  std::vector<std::pair<Window, std::string>> found;
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count)) return found;
  for (unsigned i = 0; i < count; ++i) {
    XWindowAttributes a{};
    if (!XGetWindowAttributes(d, children[i], &a) || a.map_state != IsViewable) continue;
    char* name = nullptr;
    std::string title;
    if (XFetchName(d, children[i], &name) && name) {
      title = name;
      XFree(name);
    }
    found.emplace_back(children[i], title);
  }
  if (children) XFree(children);
  return found;
}

template <class F>
bool WaitFor(F&& done, std::chrono::milliseconds limit) {
  const auto end = Clock::now() + limit;
  while (Clock::now() < end) {
    if (done()) return true;
    std::this_thread::sleep_for(20ms);
  }
  return done();
}

void Key(Display* d, Window w, KeySym key, KeySym modifier = NoSymbol) {
  XSetInputFocus(d, w, RevertToParent, CurrentTime);
  XSync(d, False);
  std::this_thread::sleep_for(100ms);
  if (modifier != NoSymbol) XTestFakeKeyEvent(d, XKeysymToKeycode(d, modifier), True, 0);
  XTestFakeKeyEvent(d, XKeysymToKeycode(d, key), True, 0);
  XTestFakeKeyEvent(d, XKeysymToKeycode(d, key), False, 0);
  if (modifier != NoSymbol) XTestFakeKeyEvent(d, XKeysymToKeycode(d, modifier), False, 0);
  XSync(d, False);
}

// CPU nanoseconds and context switches of every thread of the process.
struct TUsage {
  double cpuSeconds = 0;
  double switches = 0;
  double wakeups = 0;
};

TUsage Usage(pid_t pid) {
  TUsage u;
  const fs::path tasks = fs::path("/proc") / std::to_string(pid) / "task";
  std::error_code ec;
  for (const auto& task : fs::directory_iterator(tasks, ec)) {
    std::ifstream sched(task.path() / "schedstat");
    double ns = 0;
    if (sched >> ns) u.cpuSeconds += ns / 1e9;
    std::ifstream status(task.path() / "status");
    std::string line;
    while (std::getline(status, line)) {
      const bool voluntary = line.rfind("voluntary_ctxt_switches:", 0) == 0;
      if (!voluntary && line.rfind("nonvoluntary_ctxt_switches:", 0) != 0) continue;
      const double count = std::stod(line.substr(line.find(':') + 1));
      u.switches += count;
      if (voluntary) u.wakeups += count;
    }
  }
  return u;
}

std::size_t DisplayPolls(const sim::TSimIndicator& indicator) {
  const auto commands = indicator.Commands();
  return static_cast<std::size_t>(std::count_if(commands.begin(), commands.end(), [](const std::string& c) {
    return c.find("FPL?") != std::string::npos || c.find("ESR?") != std::string::npos;
  }));
}

std::vector<fs::path> ProgramDirs() {
  const char* dirs = std::getenv("VIEWER_PROGRAM_DIR");
  std::vector<fs::path> found;
  std::stringstream list(dirs ? dirs : "");
  for (std::string dir; std::getline(list, dir, ':');)
    if (!dir.empty()) found.emplace_back(dir);
  if (found.empty()) found.emplace_back(VIEWER_BIN_DIR);
  return found;
}

// A portable copy of the program beside an ini that names the simulator.
fs::path CopyProgram(const TProgram& program, const fs::path& from, int port) {
  const fs::path dir = fs::temp_directory_path() / ("program_cpu_" + std::to_string(getpid()) + "_" + program.name);
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string name = program.name;
  for (const std::string& file : {name, name + "lcd.VB2", name + "key.VB2", name + "panel.BMP"})
    fs::copy_file(from / file, dir / file);
  std::ofstream ini(dir / (name + ".ini"), std::ios::binary);
  ini << "[Connection]\r\nConnectionType=1\r\nTcpHostname=127.0.0.1\r\nTcpPort=" << port
      << "\r\n[Options]\r\nFirstRun=0\r\n[General]\r\nBackgroundImage=" << name << "panel.BMP\r\n";
  return dir;
}

void BM_ProgramPolling(benchmark::State& state, const TProgram& program, const fs::path& from) {
  TXvfb x;
  if (!x.display()) {
    state.SkipWithError("Xvfb did not start");
    return;
  }
  sim::TSimIndicator indicator(program.model, 1);
  indicator.SetWeight(1500);
  indicator.SetSignal(sim::Signal::kRamp, 1000, 4);
  sim::TSimServer server(indicator);
  const int port = server.ListenTcp(0);
  const fs::path dir = CopyProgram(program, from, port);
  const pid_t pid = Spawn({(dir / program.name).string()}, {"DISPLAY=" + x.name(), "QT_QPA_PLATFORM=xcb"});
  Display* d = x.display();
  std::optional<Window> main;
  WaitFor(
      [&] {
        for (const auto& [w, title] : TopLevels(d))
          if (title == program.title) main = w;
        return main.has_value();
      },
      20s);
  bool polling = false;
  if (main) {
    Key(d, *main, XK_c, XK_Alt_L);
    std::optional<Window> dialog;
    WaitFor(
        [&] {
          for (const auto& [w, title] : TopLevels(d))
            if (w != *main && !title.empty()) dialog = w;
          return dialog.has_value();
        },
        10s);
    if (dialog) Key(d, *dialog, XK_Return);
    polling = WaitFor([&] { return DisplayPolls(indicator) > 20; }, 20s);
  }
  if (!polling) {
    Stop(pid);
    fs::remove_all(dir);
    state.SkipWithError("the program did not connect and poll");
    return;
  }
  std::this_thread::sleep_for(kWarmUp);
  const TUsage before = Usage(pid);
  const std::size_t pollsBefore = DisplayPolls(indicator);
  const auto start = Clock::now();
  for (auto _ : state) std::this_thread::sleep_for(kMeasured);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  const TUsage after = Usage(pid);
  const std::size_t polls = DisplayPolls(indicator) - pollsBefore;
  Stop(pid);
  fs::remove_all(dir);
  state.counters["cpu_percent_of_core"] = 100.0 * (after.cpuSeconds - before.cpuSeconds) / seconds;
  state.counters["context_switches_per_s"] = (after.switches - before.switches) / seconds;
  state.counters["wakeups_per_s"] = (after.wakeups - before.wakeups) / seconds;
  state.counters["polls_per_s"] = static_cast<double>(polls) / seconds;
}

const TProgram kW830{"W830_830", "Velmacor W830 Viewer", sim::Model::W830};
const TProgram kW840{"W840Viewer", "Velmacor W840 Viewer", sim::Model::W840};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  const std::vector<fs::path> dirs = ProgramDirs();
  for (const TProgram* program : {&kW830, &kW840}) {
    for (const fs::path& dir : dirs) {
      std::string name = std::string("BM_ProgramPolling/") + program->name;
      if (dirs.size() > 1) name += ":" + dir.string();
      benchmark::RegisterBenchmark(name.c_str(), [program, dir](benchmark::State& state) {
        BM_ProgramPolling(state, *program, dir);
      })->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
    }
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
