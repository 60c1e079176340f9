// The simulated indicator as a program, for the run command and for trying the
// viewers by hand: indicator-sim --model w830 --tcp 2222 [--pty] [--discovery 2244]
// [--discovery-replies N] [--discovery-delay MS]
#include <cerrno>
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
               "                     [--discovery-replies N] [--discovery-delay MS]\n"
               "                     [--weight W] [--ramp AMPLITUDE] [--step-inputs SECONDS] [--no-cof12]\n"
               "                     [--passcode DIGITS]\n"
               "                     [--silent] [--reject] [--delay MS] [--random-delay MS] [--split] [--garbage]\n"
               "                     [--overlong] [--drop-after N] [--record FILE]\n");
}

}  // namespace

int main(int argc, char** argv) {
  sim::Model model = sim::Model::W830;
  int address = 1;
  int tcp = -1, discovery = -1;
  int discoveryReplies = 1, discoveryDelayMs = 0;
  bool pty = false;
  double weight = 12.5, ramp = 0.0, stepInputs = 0.0;
  bool cof12 = true;
  std::string passcode;
  std::string recordFile;
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
      if (m != "w830" && m != "w840") {
        Usage();
        return 2;
      }
      model = m == "w840" ? sim::Model::W840 : sim::Model::W830;
    } else if (a == "--address") address = std::atoi(next());
    else if (a == "--tcp") tcp = std::atoi(next());
    else if (a == "--pty") pty = true;
    else if (a == "--discovery" || a == "--udp") discovery = std::atoi(next());
    else if (a == "--discovery-replies") discoveryReplies = std::atoi(next());
    else if (a == "--discovery-delay") discoveryDelayMs = std::atoi(next());
    else if (a == "--record") recordFile = next();
    else if (a == "--random-delay") faults.randomDelayMs = std::atoi(next());
    else if (a == "--overlong") faults.overlongLine = true;
    else if (a == "--weight") weight = std::atof(next());
    else if (a == "--ramp") ramp = std::atof(next());
    else if (a == "--step-inputs") stepInputs = std::atof(next());
    else if (a == "--no-cof12") cof12 = false;
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
  indicator.SetStepInputs(stepInputs);
  indicator.SetCof12Supported(cof12);
  indicator.SetPasscode(passcode);
  indicator.SetFaults(faults);
  try {
    sim::TSimServer server(indicator);
    if (tcp >= 0) std::printf("tcp 127.0.0.1:%u\n", server.ListenTcp(static_cast<uint16_t>(tcp)));
    if (pty) std::printf("pty %s\n", server.OpenPty().c_str());
    server.SetDiscoveryAnswer(discoveryReplies, discoveryDelayMs);
    if (discovery >= 0) std::printf("discovery 127.0.0.1:%u\n", server.ListenDiscovery(static_cast<uint16_t>(discovery)));
    std::fflush(stdout);
    std::signal(SIGINT, [](int) { g_stop = 1; });
    std::signal(SIGTERM, [](int) { g_stop = 1; });
    while (!g_stop) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "indicator-sim: %s\n", e.what());
    return 1;
  }
  if (!recordFile.empty()) {
    std::FILE* file = std::fopen(recordFile.c_str(), "wb");
    if (!file) {
      std::fprintf(stderr, "indicator-sim: cannot write %s: %s\n", recordFile.c_str(), std::strerror(errno));
      return 1;
    }
    for (const auto& r : indicator.Record()) std::fprintf(file, "%.3f %s\n", r.seconds, r.command.c_str());
    if (std::fclose(file) != 0) {
      std::fprintf(stderr, "indicator-sim: writing %s failed\n", recordFile.c_str());
      return 1;
    }
  }
  return 0;
}
