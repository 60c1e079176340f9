#pragma once
// A simulated W830 or W840 weighing indicator: it takes the command bytes a viewer
// sends and answers them as the indicator would, with a live weight, its settings,
// passcode, keys and streaming, and misbehaves on request. Thread-safe: the server
// thread feeds it while a test reads and changes its state.
#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "tools/sim/sim_display.h"
#include "tools/sim/sim_settings.h"

namespace sim {

enum class Model { W830, W840 };

// The weight's shape over time, around the weight set with SetWeight.
enum class Signal { kSteady, kRamp, kNoise, kSteps };

struct TSimFaults {
  bool silent = false;        // no reply at all
  bool rejectAll = false;     // "?" to everything
  bool rejectSets = false;    // "?" to every set command; queries are answered
  int delayMs = 0;            // every reply this late
  int randomDelayMs = 0;      // plus up to this much more
  bool splitBytes = false;    // each reply written one byte at a time
  bool garbage = false;       // stray bytes (no frame marks) before each reply
  bool overlongLine = false;  // 1 MB without a line end in place of the reply
  int dropAfter = 0;          // drop the connection after this many commands; 0 never
  std::string answerAs = {};  // a query is answered as this other one ("WMD?"): a reply gone astray
};

// One received command and when it arrived, in seconds since the indicator was made.
struct TSimRecord {
  double seconds;
  std::string command;
};

// One piece of output for the transport.
struct TSimOutput {
  std::string bytes;
  int delayMs = 0;
  bool split = false;
  bool drop = false;  // close the connection after this output
};

class TSimIndicator {
 public:
  explicit TSimIndicator(Model model, int address = 1);

  // Bytes from the link in, bytes to send back out (delays and drops are the
  // transport's and are not applied here).
  std::string Feed(std::string_view bytes);
  // The same, with what the transport must do about faults.
  std::vector<TSimOutput> Process(std::string_view bytes);
  // A new link: half a command and an address prefix left by the last one are dropped.
  void ResetInput();
  // Streamed weight samples that have fallen due since the last call.
  std::string TakeStreamed(std::chrono::steady_clock::time_point now);

  std::string WireLog() const;
  std::vector<std::string> Commands() const;
  std::vector<TSimRecord> Record() const;  // the same commands with their arrival times
  void ClearLog();

  void SetWeight(double weight);
  void SetSignal(Signal signal, double amplitude, double periodSeconds);
  void SetInputs(uint32_t wordA, uint32_t wordB);  // digital status bits of the weight reply
  // The inputs count up once a period (I/O 1..4 in word A, I/O 1..8 in word B), on
  // top of those set; 0 keeps them still.
  void SetStepInputs(double periodSeconds);
  // Whether "COF12;" (status word B in weight replies) is taken or refused with "?".
  void SetCof12Supported(bool supported);
  // The segment string the display shows now.
  std::string Display() const;

  std::string Setting(const std::string& key) const;  // e.g. "ADR", "LBT0", "IAD1": the set line held
  void SetPasscode(const std::string& digits);        // "" = none
  int Saves() const;                                  // "TDD1" commands taken

  // Calibration: a zero or span step reports busy for this many status queries,
  // then done (0) or the scripted error code (above 100).
  void SetCalibrationBusyPolls(int polls);
  void SetCalibrationError(int code);  // 0: none
  // In place of the above: the status queries of each step get these answers in
  // order, and the last one from then on (empty: back to busy polls and error).
  void SetCalibrationStatuses(std::vector<int> statuses);
  int Calibrations() const;            // zero and span steps started
  // Calibration block n (0..4) is answered "?"; -1: every block reads.
  void SetUnreadableCalBlock(int block);

  void SetFaults(const TSimFaults& faults);
  void SetCommandFaults(const std::string& mnemonic, const TSimFaults& faults);
  bool Streaming() const;
  // The XML document the indicator sends in answer to the discovery probe.
  std::string DiscoveryReply(uint16_t tcpPort) const;

 private:
  // One command from a line or a frame: address rules, then Execute and Answer.
  void TakeCommand(std::vector<TSimOutput>& out, const std::string& command, bool stxEtx);
  std::string Execute(const std::string& command);  // one command; empty: no reply
  std::string HandleKey(const std::string& args);
  std::string HandleCalibration(const std::string& mnemonic, const std::string& rest, bool query);
  std::string HandleLinearisation(const std::string& rest);
  std::string HandleCalBlock(const std::string& rest, bool query);
  std::string CalBlock(std::size_t n) const;
  std::string WeightSample() const;
  std::chrono::steady_clock::duration StreamInterval() const;
  TDisplayState DisplayState() const;
  double RawWeight() const;
  long RawCounts() const;
  int Decimals() const;
  // The W840's weigh mode "Direct" (its set line counts weigh modes from 1).
  bool DirectWeighMode() const;
  int OwnAddress() const;
  const TSimFaults& FaultsFor(const std::string& command) const;
  void Answer(std::vector<TSimOutput>& out, const std::string& command, std::string reply, bool stxEtx);

  mutable std::mutex mutex_;
  const Model model_;
  const panel::Layout& layout_;
  TSimSettings settings_;
  std::chrono::steady_clock::time_point start_;
  double weight_ = 0.0;
  Signal signal_ = Signal::kSteady;
  double amplitude_ = 0.0;
  double period_ = 1.0;
  long zeroOffset_ = 0;
  long tare_ = 0;
  bool netMode_ = false;
  std::string menuText_;
  uint32_t wordA_ = 0, wordB_ = 0;
  bool wordBOn_ = false;
  double stepPeriod_ = 0.0;
  bool cof12Supported_ = true;
  std::string passcode_;
  bool unlocked_ = false;
  int saves_ = 0;
  bool streaming_ = false;
  int calBusyPolls_ = 3;
  int calError_ = 0;
  int calPollsLeft_ = 0;
  int calStatus_ = 0;
  int calibrations_ = 0;
  std::vector<int> calStatuses_;
  std::deque<int> calStatusesLeft_;
  int unreadableCalBlock_ = -1;
  std::array<std::string, 5> calBlocks_;
  std::chrono::steady_clock::time_point nextSample_;
  int pendingAddress_ = -1;  // from an "Snn;" prefix, for the next command
  std::string rx_;           // bytes of an unfinished command
  bool inFrame_ = false;
  std::string wire_;
  std::vector<TSimRecord> record_;
  int commandCount_ = 0;
  TSimFaults faults_;
  std::map<std::string, TSimFaults> commandFaults_;
};

}  // namespace sim
