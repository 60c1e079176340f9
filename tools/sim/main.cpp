// indicator-sim: a simulated W830 or W840 indicator on 127.0.0.1 and/or a
// pseudo-terminal, running until interrupted.
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <string>

#include "tools/sim/sim_indicator.h"
#include "tools/sim/sim_server.h"

namespace {

constexpr const char* kUsage =
    "usage: indicator-sim --model w830|w840 [--tcp PORT] [--pty] [--discovery PORT | --udp PORT]\n"
    "                     [--address N] [--passcode DIGITS] [--weight W] [--record FILE]\n"
    "                     [--fault KIND[:COMMAND][=VALUE]]...\n"
    "  KIND: silence reject delay randomdelay split garbage overlong drop closepty\n"
    "  COMMAND limits the fault to commands that start with it; VALUE is ms or a count.\n";

std::optional<sim::TFault> ParseFault(const std::string& text) {
  static const std::map<std::string, sim::FaultKind> kinds = {
      {"silence", sim::FaultKind::Silence},   {"reject", sim::FaultKind::Reject},
      {"delay", sim::FaultKind::Delay},       {"randomdelay", sim::FaultKind::RandomDelay},
      {"split", sim::FaultKind::SplitBytes},  {"garbage", sim::FaultKind::Garbage},
      {"overlong", sim::FaultKind::Overlong}, {"drop", sim::FaultKind::DropAfter},
      {"closepty", sim::FaultKind::ClosePtyAfter}};
  std::string rest = text;
  sim::TFault fault{sim::FaultKind::Silence, "", 0};
  if (const auto equals = rest.find('='); equals != std::string::npos) {
    fault.value = std::atoi(rest.c_str() + equals + 1);
    rest.resize(equals);
  }
  if (const auto colon = rest.find(':'); colon != std::string::npos) {
    fault.command = rest.substr(colon + 1);
    rest.resize(colon);
  }
  const auto kind = kinds.find(rest);
  if (kind == kinds.end()) return std::nullopt;
  fault.kind = kind->second;
  return fault;
}

int Usage() {
  std::cerr << kUsage;
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::optional<sim::Model> model;
  std::optional<int> tcpPort;
  std::optional<int> udpPort;
  bool pty = false;
  int address = 1;
  std::string passcode;
  std::string recordFile;
  std::optional<double> weight;
  std::vector<sim::TFault> faults;
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    const bool hasValue = i + 1 < argc;
    if (option == "--pty") {
      pty = true;
    } else if (!hasValue) {
      return Usage();
    } else if (option == "--model") {
      const std::string name = argv[++i];
      if (name == "w830") model = sim::Model::W830;
      else if (name == "w840") model = sim::Model::W840;
      else return Usage();
    } else if (option == "--tcp") {
      tcpPort = std::atoi(argv[++i]);
    } else if (option == "--discovery" || option == "--udp") {
      udpPort = std::atoi(argv[++i]);
    } else if (option == "--address") {
      address = std::atoi(argv[++i]);
    } else if (option == "--passcode") {
      passcode = argv[++i];
    } else if (option == "--weight") {
      weight = std::atof(argv[++i]);
    } else if (option == "--record") {
      recordFile = argv[++i];
    } else if (option == "--fault") {
      const auto fault = ParseFault(argv[++i]);
      if (!fault) return Usage();
      faults.push_back(*fault);
    } else {
      return Usage();
    }
  }
  if (!model || (!tcpPort && !pty && !udpPort)) return Usage();

  // Signals are taken by sigwait below, not by handlers.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  sim::TSimIndicator indicator(*model, address);
  indicator.SetPasscode(passcode);
  if (weight) indicator.SetWeight(*weight);
  for (const auto& fault : faults) indicator.AddFault(fault);
  try {
    sim::TSimServer server(indicator);
    if (tcpPort) std::cout << "tcp 127.0.0.1:" << server.ListenTcp(static_cast<uint16_t>(*tcpPort)) << "\n";
    if (pty) std::cout << "pty " << server.OpenPty() << "\n";
    if (udpPort)
      std::cout << "udp 127.0.0.1:" << server.ListenDiscovery(static_cast<uint16_t>(*udpPort)) << "\n";
    std::cout.flush();
    int signal = 0;
    sigwait(&stopSignals, &signal);
  } catch (const std::exception& error) {
    std::cerr << "indicator-sim: " << error.what() << "\n";
    return 1;
  }
  if (!recordFile.empty()) {
    std::ofstream record(recordFile, std::ios::binary);
    for (const auto& entry : indicator.Record()) record << entry.seconds << ' ' << entry.command << "\n";
  }
  return 0;
}
