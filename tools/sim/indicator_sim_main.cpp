// The simulated indicator as a program, for the run command and for trying the
// viewers by hand: indicator-sim --model w830 --tcp 2222 [--pty] [--discovery 2244]
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "tools/sim/sim_indicator.h"
#include "tools/sim/sim_server.h"

namespace {

volatile std::sig_atomic_t g_stop = 0;

void Usage() {
  std::fprintf(stderr,
               "usage: indicator-sim [--model w830|w840] [--address N] [--tcp PORT] [--pty] [--discovery PORT]\n"
               "                     [--weight W] [--ramp AMPLITUDE] [--passcode DIGITS]\n"
               "                     [--silent] [--reject] [--delay MS] [--split] [--garbage] [--drop-after N]\n");
}

}  // namespace

int main(int argc, char** argv) {
  sim::Model model = sim::Model::W830;
  int address = 1;
  int tcp = -1, discovery = -1;
  bool pty = false;
  double weight = 12.5, ramp = 0.0;
  std::string passcode;
  sim::TSimFaults faults;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto next = [&]() -> const char* {
      if (i + 1 >= argc) {
        Usage();
        std::exit(2);
      }
      return argv[++i];
    };
    if (a == "--model") {
      const std::string m = next();
      model = m == "w840" ? sim::Model::W840 : sim::Model::W830;
    } else if (a == "--address") address = std::atoi(next());
    else if (a == "--tcp") tcp = std::atoi(next());
    else if (a == "--pty") pty = true;
    else if (a == "--discovery") discovery = std::atoi(next());
    else if (a == "--weight") weight = std::atof(next());
    else if (a == "--ramp") ramp = std::atof(next());
    else if (a == "--passcode") passcode = next();
    else if (a == "--silent") faults.silent = true;
    else if (a == "--reject") faults.rejectAll = true;
    else if (a == "--delay") faults.delayMs = std::atoi(next());
    else if (a == "--split") faults.splitBytes = true;
    else if (a == "--garbage") faults.garbage = true;
    else if (a == "--drop-after") faults.dropAfter = std::atoi(next());
    else {
      Usage();
      return 2;
    }
  }
  if (tcp < 0 && !pty && discovery < 0) tcp = 2222;

  sim::TSimIndicator indicator(model, address);
  indicator.SetWeight(weight);
  if (ramp != 0.0) indicator.SetSignal(sim::Signal::kRamp, ramp, 10.0);
  indicator.SetPasscode(passcode);
  indicator.SetFaults(faults);
  try {
    sim::TSimServer server(indicator);
    if (tcp >= 0) std::printf("tcp 127.0.0.1:%u\n", server.ListenTcp(static_cast<uint16_t>(tcp)));
    if (pty) std::printf("pty %s\n", server.OpenPty().c_str());
    if (discovery >= 0) std::printf("discovery 127.0.0.1:%u\n", server.ListenDiscovery(static_cast<uint16_t>(discovery)));
    std::fflush(stdout);
    std::signal(SIGINT, [](int) { g_stop = 1; });
    std::signal(SIGTERM, [](int) { g_stop = 1; });
    while (!g_stop) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "indicator-sim: %s\n", e.what());
    return 1;
  }
  return 0;
}
