#pragma once
// A simulated W830 or W840 weighing indicator: its settings, its display and
// keys, calibration, weight streaming and scripted faults, spoken through the
// indicator's command language. Transports live in sim_server.h; this class
// only turns received bytes into bytes to send.
#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "tools/sim/sim_fields.h"
#include "tools/sim/sim_signal.h"

namespace sim {

enum class Model { W830, W840 };

enum class FaultKind {
  Silence,      // no reply at all
  Reject,       // "?" in place of every reply
  Delay,        // the reply waits `value` ms
  RandomDelay,  // the reply waits 0..`value` ms
  SplitBytes,   // replies go out one byte per write
  Garbage,      // a line of random bytes in place of the reply
  Overlong,     // 1 MB without a line end in place of the reply
  DropAfter,    // the connection is dropped after `value` more commands
  ClosePtyAfter // the pseudo-terminal is closed after `value` more commands
};

struct TFault {
  FaultKind kind;
  std::string command;  // applies to commands starting with this text; "" = every command
  int value = 0;
};

// One received command with the time it arrived.
struct TRecordEntry {
  double seconds;  // since the indicator was made
  std::string command;
};

class TSimIndicator {
 public:
  using Clock = std::function<double()>;  // seconds, monotonic

  explicit TSimIndicator(Model model, int address = 1);

  Model GetModel() const { return model_; }

  // Bytes from the link in, bytes to send back out. Feed uses the in-process
  // session 0; transports open a session per connection.
  std::string Feed(std::string_view bytes);
  std::string FeedSession(int session, std::string_view bytes);
  // Replies that came due since (delayed replies, streamed samples).
  std::string TakeOutput(int session = 0);
  int OpenSession();
  void CloseSession(int session);
  bool DropRequested(int session) const;
  bool TakeClosePtyRequest();
  bool SplitsReplies() const;

  std::string WireLog() const;
  std::vector<std::string> Commands() const;
  std::vector<TRecordEntry> Record() const;
  void ClearLog();

  // The load on the scale, in display units.
  void SetWeight(double weight);
  void SetSignal(const TSignal& signal);
  // Time source; the default is the steady clock since construction.
  void SetClock(Clock clock);

  // The set line it holds, e.g. "ADR1" or "IAD1,4000,0,1,0,0,0".
  std::string Setting(const std::string& key) const;
  // Puts a line straight into the held settings (no passcode, read-only fields too).
  bool SetSetting(const std::string& line);
  // Field `field` of a held setting, texts without quotes ("" when there is none).
  std::string Field(const std::string& key, std::size_t field) const;
  void SetPasscode(const std::string& digits);
  int SaveCount() const;

  // Calibration: status queries answered "busy" before a zero or span is done,
  // and an error code (above 100) that the next one ends with (0 = none).
  void SetCalibrationBusyPolls(int polls);
  void ScriptCalibrationError(int code);

  void AddFault(const TFault& fault);
  void ClearFaults();

  // The display as a segment state string, as "FPL?" answers it.
  std::string DisplaySegments() const;
  std::string DisplayText() const;

 private:
  struct TOutput {
    double due;
    std::string bytes;
  };
  struct TSession {
    std::string input;
    bool inFrame = false;
    bool discarding = false;  // an overlong command is skipped up to its end
    int pendingAddress = -1;  // from an "Snn;" prefix, for the next command
    std::deque<TOutput> output;
    bool streaming = false;
    double nextSample = 0;
    bool dropRequested = false;
  };
  struct TCalibration {
    std::string name;  // "" when none ran yet
    bool direct = false;  // a value was written, nothing to measure
    int busyLeft = 0;
    int status = 0;
  };

  double Now() const;
  TSession& SessionLocked(int session);
  void TakeByte(TSession& s, char c);
  void EndCommand(TSession& s, const std::string& text);
  void Execute(TSession& s, const std::string& command, bool answer);
  void Queue(TSession& s, std::string reply, const std::string& command);
  std::string Drain(TSession& s, double now);
  std::string Answer(TSession& s, const std::string& command);

  // Command handlers, each returning the reply text ("" = none).
  std::string SettingsQuery(const std::string& command);
  std::string SettingsSet(const std::string& command, bool force);
  std::string KeyCommand(const std::string& argument);
  std::string PasscodeCommand(const std::string& argument);
  std::string CalibrationCommand(const std::string& name, const std::string& argument);
  std::string CalibrationStatus(const std::string& name, const std::string& index);
  std::string LinearisationCommand(const std::string& command);
  std::string BackupCommand(const std::string& command);
  std::string WeightSample() const;
  std::string SegmentsLocked() const;
  std::string TextLocked() const;
  int Division() const;

  TSettingSpec* Find(const std::string& key);
  const TSettingSpec* Find(const std::string& key) const;
  std::string FieldValue(const std::string& key, std::size_t field) const;
  int IntField(const std::string& key, std::size_t field) const;
  static std::string SetLine(const TSettingSpec& spec);
  static std::string ReplyOf(const TSettingSpec& spec);
  bool IsProtected(const std::string& mnemonic) const;

  // The weighing chain: load -> signal in mV/V -> calibrated reading.
  double LoadCounts() const;
  int SignalValue() const;
  double ReadingCounts() const;
  long long GrossCounts() const;
  long long ShownCounts() const;
  bool Moving() const;
  void FinishCalibration();
  int DecimalPoint() const;
  int Address() const;

  const Model model_;
  mutable std::mutex mutex_;
  Clock clock_;
  std::chrono::steady_clock::time_point start_;
  std::vector<TSettingSpec> settings_;
  std::map<int, TSession> sessions_;
  int nextSession_ = 1;

  std::string wire_;
  std::vector<TRecordEntry> record_;

  TSignal signal_;
  double signalStart_ = 0;
  std::uint32_t seed_ = 12345;

  std::string passcode_;
  bool unlocked_ = false;
  int saves_ = 0;
  bool cof12_ = false;

  int directZero_ = 0;
  int directSpan_ = 20000;
  std::array<int, 10> linPercent_{};
  std::array<int, 10> linWeight_{};
  std::array<std::string, 2> factoryBlocks_{"1000", "0"};
  TCalibration cal_;
  int busyPolls_ = 3;
  int scriptedError_ = 0;

  double zeroOffset_ = 0;
  long long tare_ = 0;
  bool showNet_ = false;
  bool inMenu_ = false;
  int menuDigit_ = 1;

  struct TActiveFault {
    TFault fault;
    int commandsLeft;
  };
  std::vector<TActiveFault> faults_;
  bool closePtyRequested_ = false;
  std::mt19937 random_{2024};
};

}  // namespace sim
