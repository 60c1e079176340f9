#include "tools/sim/sim_indicator.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <random>

namespace sim {
namespace {

constexpr char kStx = '\x02';
constexpr char kEtx = '\x03';
constexpr std::size_t kOverlongBytes = 1 << 20;

// Word A bits of the weight reply.
constexpr uint32_t kSteadyBit = 0x0002;
constexpr uint32_t kZeroBit = 0x0100;

bool IsPrefix(const std::string& command) {
  return command.size() == 3 && command[0] == 'S' && std::isdigit(static_cast<unsigned char>(command[1])) &&
         std::isdigit(static_cast<unsigned char>(command[2]));
}

int RandomUpTo(int limit) {
  static thread_local std::mt19937 engine{std::random_device{}()};
  return limit <= 0 ? 0 : std::uniform_int_distribution<int>(0, limit)(engine);
}

}  // namespace

TSimIndicator::TSimIndicator(Model model, int address)
    : model_(model),
      layout_(model == Model::W830 ? panel::kW830 : panel::kW840),
      settings_(model),
      start_(std::chrono::steady_clock::now()) {
  settings_.Set("ADR" + std::to_string(address));
  if (settings_.Line("ADR").empty()) settings_.SetField("ADR", 0, std::to_string(address));
}

std::string TSimIndicator::Feed(std::string_view bytes) {
  std::string out;
  for (const auto& o : Process(bytes)) out += o.bytes;
  return out;
}

std::vector<TSimOutput> TSimIndicator::Process(std::string_view bytes) {
  std::lock_guard lock(mutex_);
  wire_.append(bytes);
  std::vector<TSimOutput> out;
  for (const char c : bytes) {
    if (c == kStx) {
      rx_.clear();
      inFrame_ = true;
    } else if (c == kEtx && inFrame_) {
      inFrame_ = false;
      // A frame may carry an address prefix and its command, as a line does.
      const std::string frame = rx_;
      rx_.clear();
      std::size_t begin = 0;
      for (std::size_t end; (end = frame.find(';', begin)) != std::string::npos; begin = end + 1)
        TakeCommand(out, frame.substr(begin, end - begin), true);
      TakeCommand(out, frame.substr(begin), true);
    } else if (c == ';' && !inFrame_) {
      const std::string command = rx_;
      rx_.clear();
      TakeCommand(out, command, false);
    } else if (c == '\r' || c == '\n') {
    } else if (rx_.size() < 4096) {
      rx_ += c;
    }
  }
  return out;
}

void TSimIndicator::ResetInput() {
  std::lock_guard lock(mutex_);
  rx_.clear();
  inFrame_ = false;
  pendingAddress_ = -1;
}

void TSimIndicator::TakeCommand(std::vector<TSimOutput>& out, const std::string& command, bool stxEtx) {
  if (command.empty()) return;
  record_.push_back({std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count(), command});
  if (IsPrefix(command)) {
    pendingAddress_ = std::stoi(command.substr(1));
    return;
  }
  const int address = pendingAddress_;
  pendingAddress_ = -1;
  const bool forUs = address < 0 || address == 99 || address == 98 || address == OwnAddress();
  if (!forUs) return;
  const std::string& answerAs = FaultsFor(command).answerAs;
  const bool astray = !answerAs.empty() && command.find('?') != std::string::npos;
  std::string reply = Execute(astray ? answerAs : command);
  if (address == 98) reply.clear();  // a broadcast is carried out but never answered
  Answer(out, command, std::move(reply), stxEtx);
}

void TSimIndicator::Answer(std::vector<TSimOutput>& out, const std::string& command, std::string reply,
                           bool stxEtx) {
  ++commandCount_;
  const TSimFaults& f = FaultsFor(command);
  TSimOutput o;
  o.delayMs = f.delayMs + RandomUpTo(f.randomDelayMs);
  o.split = f.splitBytes;
  o.drop = f.dropAfter > 0 && commandCount_ >= f.dropAfter;
  if (!reply.empty() && !f.silent) {
    if (f.rejectAll || (f.rejectSets && command.find('?') == std::string::npos)) reply = "?";
    if (f.garbage) o.bytes += "\x7f\xfe\x01garbage#";
    if (f.overlongLine) {
      o.bytes += std::string(kOverlongBytes, 'X');
    } else {
      o.bytes += stxEtx ? std::string(1, kStx) + reply + kEtx : reply + "\r\n";
    }
  }
  if (!o.bytes.empty() || o.drop) out.push_back(std::move(o));
}

const TSimFaults& TSimIndicator::FaultsFor(const std::string& command) const {
  const auto it = commandFaults_.find(command.substr(0, 3));
  return it != commandFaults_.end() ? it->second : faults_;
}

std::string TSimIndicator::Execute(const std::string& command) {
  if (command.size() < 3) return "?";
  const std::string mnemonic = command.substr(0, 3);
  const std::string rest = command.substr(3);
  const bool query = !rest.empty() && rest[0] == '?';

  if (mnemonic == "FPL") {
    if (query) return SegmentStringOf(layout_, DisplayState());
    // The W830 carries out a key press without a word; the W840 answers it.
    const std::string answer = HandleKey(rest);
    return model_ == Model::W830 ? std::string() : answer;
  }
  if (model_ == Model::W830 && (mnemonic == "LDN" || mnemonic == "LWN"))
    return HandleCalibration(mnemonic, rest, query);
  if (model_ == Model::W840 && (mnemonic == "LDW" || mnemonic == "LWT") && rest != "?1")
    return HandleCalibration(mnemonic, rest, query);
  if (model_ == Model::W840 && mnemonic == "VAL") return rest == "?" ? std::to_string(12345 + calibrations_) : "?";
  if (model_ == Model::W840 && mnemonic == "ESR") return rest == "?" ? "00A0" : "?";
  if (mnemonic == "LIC" && !query) return HandleLinearisation(rest);
  if (mnemonic == "BCA") return HandleCalBlock(rest, query);
  if (mnemonic == "MSV") {
    if (rest == "?,0") {
      streaming_ = true;
      nextSample_ = std::chrono::steady_clock::now() + StreamInterval();
    }
    return query ? WeightSample() : "?";
  }
  if (mnemonic == "STP") {
    streaming_ = false;
    return "0";
  }
  if (mnemonic == "COF") {
    if (rest == "12" && !cof12Supported_) return "?";
    if (rest == "12") wordBOn_ = true;
    else if (rest == "11") wordBOn_ = false;
    else return "?";
    return "0";
  }
  if (mnemonic == "PCD") {
    if (rest == "?") return passcode_.empty() || unlocked_ ? "0" : "1";
    if (rest.empty()) {
      unlocked_ = false;
      return "0";
    }
    if (!passcode_.empty() && rest != passcode_) return "?";
    unlocked_ = true;
    return "0";
  }
  if (mnemonic == "TDD") {
    if (rest != "1") return "?";
    ++saves_;
    return "0";
  }
  if (query) {
    const auto reply = settings_.Query(mnemonic, rest.substr(1));
    return reply ? *reply : "?";
  }
  if (TSimSettings::IsProtected(mnemonic) && !passcode_.empty() && !unlocked_) return "?";
  return settings_.Set(command) ? "0" : "?";
}

std::string TSimIndicator::HandleKey(const std::string& args) {
  int key = 0, longPress = 0;
  char tail = 0;
  const int n = std::sscanf(args.c_str(), "%d,%d%c", &key, &longPress, &tail);
  if (n < 1 || n > 2 || key < 1 || key > 6 || (n == 2 && longPress != 1)) return "?";
  if (model_ == Model::W840 && key == 5) return "?";  // the W840 has no key 5
  if (!menuText_.empty()) {
    menuText_.clear();  // any key leaves the menu
    return "0";
  }
  if (n == 2) {
    menuText_ = "FUnC " + std::to_string(key);
    return "0";
  }
  const long gross = RawCounts() - zeroOffset_;
  switch (key) {
    case 1: zeroOffset_ = RawCounts(); break;
    case 2:
      tare_ = gross;
      netMode_ = true;
      break;
    case 3: netMode_ = !netMode_; break;
    default: break;
  }
  return "0";
}

std::string TSimIndicator::HandleCalibration(const std::string& mnemonic, const std::string& rest, bool query) {
  // The W830 answers its status query with the value, then the status; the W840
  // with the status alone (its value is read with the index: "LDW?1"), but in the
  // weigh mode "Direct", where it does not weigh to calibrate, with the value.
  const std::string key = model_ == Model::W830 ? mnemonic : mnemonic + "1";
  const int valueField = model_ == Model::W830 ? 0 : 1;
  if (query) {
    if (rest != "?") return "?";
    if (model_ == Model::W840 && DirectWeighMode()) return settings_.Field(key, valueField);
    int status = calStatus_;
    if (!calStatusesLeft_.empty()) {
      status = calStatusesLeft_.front();
      calStatusesLeft_.pop_front();
    } else if (calPollsLeft_ > 0) {
      --calPollsLeft_;
      status = 1;
      if (calPollsLeft_ == 0) calStatus_ = calError_;
    }
    if (model_ == Model::W840) return std::to_string(status);
    return settings_.Field(key, valueField) + "," + std::to_string(status);
  }
  if (!rest.empty()) {
    // A direct mV/V value (x 10000) is set and calibrated at once.
    char* end = nullptr;
    const long value = std::strtol(rest.c_str(), &end, 10);
    if (*end != '\0' || value < -32000 || value > 32000) return "?";
    settings_.SetField(key, valueField, std::to_string(value));
  }
  ++calibrations_;
  if (!calStatuses_.empty()) {
    calStatusesLeft_.assign(calStatuses_.begin(), calStatuses_.end());
    calPollsLeft_ = 0;
    calStatus_ = calStatuses_.back();
    return "0";
  }
  calPollsLeft_ = calBusyPolls_;
  calStatus_ = calBusyPolls_ > 0 ? 1 : calError_;
  return "0";
}

std::string TSimIndicator::HandleLinearisation(const std::string& rest) {
  int point = 0;
  long weight = 0;
  char tail = 0;
  const int n = std::sscanf(rest.c_str(), "%d,%ld%c", &point, &weight, &tail);
  if (n < 1 || n > 2 || point < 1 || point > 10) return "?";
  const std::string key = "LIC" + std::to_string(point);
  if (n == 1) {
    settings_.SetField(key, 1, "0");
    settings_.SetField(key, 2, "0");
    return "0";
  }
  // The point is set at the weight given in display counts; the indicator keeps
  // and reports it in sixteenths of a count, and a percentage of 0 would mean unused.
  if (weight < -6249 || weight > 62499) return "?";
  const long fullScale = std::max(1L, std::atol(settings_.Field("IAD1", 1).c_str()));
  long percent = std::clamp(weight * 100 / fullScale, -150L, 150L);
  if (percent == 0) percent = weight < 0 ? -1 : 1;
  settings_.SetField(key, 1, std::to_string(percent));
  settings_.SetField(key, 2, std::to_string(weight * 16));
  return "0";
}

std::string TSimIndicator::CalBlock(std::size_t n) const {
  if (!calBlocks_[n].empty()) return calBlocks_[n];
  const bool w830 = model_ == Model::W830;
  const int valueField = w830 ? 0 : 1;
  const unsigned words[7] = {0x1000u + unsigned(n),
                             unsigned(std::atoi(settings_.Field(w830 ? "LDN" : "LDW1", valueField).c_str())) & 0xFFFFu,
                             unsigned(std::atoi(settings_.Field(w830 ? "LWN" : "LWT1", valueField).c_str())) & 0xFFFFu,
                             0x5A5Au,
                             unsigned(n * 7),
                             0x0101u,
                             unsigned(calibrations_) & 0xFFFFu};
  std::string block = std::to_string(n);
  unsigned sum = unsigned(n);
  char word[8];
  for (const unsigned w : words) {
    std::snprintf(word, sizeof word, ",%04X", w);
    block += word;
    sum += w;
  }
  std::snprintf(word, sizeof word, ",%04X", sum & 0xFFFFu);
  return block + word;
}

std::string TSimIndicator::HandleCalBlock(const std::string& rest, bool query) {
  // Block n reads "n," then hexadecimal words of calibration data, the last of
  // which is the sum of n and the others (16 bits): a block whose sum is wrong is
  // refused.
  if (query) {
    if (rest.size() != 2 || rest[1] < '0' || rest[1] > '4') return "?";
    const std::size_t n = static_cast<std::size_t>(rest[1] - '0');
    if (static_cast<int>(n) == unreadableCalBlock_) return "?";
    return CalBlock(n);
  }
  if (rest.size() < 3 || rest[0] < '0' || rest[0] > '4' || rest[1] != ',') return "?";
  const std::vector<std::string> fields = SplitFields(rest);
  unsigned sum = unsigned(rest[0] - '0');
  std::vector<unsigned> words;
  for (std::size_t i = 1; i < fields.size(); ++i) {
    const std::string& f = fields[i];
    if (f.empty() || f.size() > 4 || f.find_first_not_of("0123456789ABCDEFabcdef") != std::string::npos) return "?";
    words.push_back(unsigned(std::stoul(f, nullptr, 16)));
  }
  if (words.empty()) return "?";
  for (std::size_t i = 0; i + 1 < words.size(); ++i) sum += words[i];
  if ((sum & 0xFFFFu) != words.back()) return "?";
  calBlocks_[static_cast<std::size_t>(rest[0] - '0')] = rest;
  return "0";
}

double TSimIndicator::RawWeight() const {
  const double t = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  const double period = period_ > 0 ? period_ : 1.0;
  switch (signal_) {
    case Signal::kSteady: return weight_;
    case Signal::kRamp: return weight_ + amplitude_ * std::fmod(t, period) / period;
    case Signal::kNoise: return weight_ + amplitude_ * std::sin(t * 17.0) * std::cos(t * 5.3);
    case Signal::kSteps: return weight_ + (static_cast<long>(t / period) % 2 ? amplitude_ : 0.0);
  }
  return weight_;
}

bool TSimIndicator::DirectWeighMode() const { return settings_.Field("WMD", 0) == "4"; }

int TSimIndicator::Decimals() const {
  const int dp = std::atoi(settings_.Field("IAD1", 2).c_str());
  return dp >= 0 && dp <= 5 ? dp : 0;
}

long TSimIndicator::RawCounts() const { return std::lround(RawWeight() * std::pow(10.0, Decimals())); }

int TSimIndicator::OwnAddress() const { return std::atoi(settings_.Field("ADR", 0).c_str()); }

TDisplayState TSimIndicator::DisplayState() const {
  TDisplayState s;
  const long gross = RawCounts() - zeroOffset_;
  s.counts = netMode_ ? gross - tare_ : gross;
  s.decimals = Decimals();
  s.units = std::atoi(settings_.Field("ENU", 0).c_str());
  s.motion = signal_ != Signal::kSteady && amplitude_ != 0.0;
  s.centreOfZero = gross == 0;
  s.net = netMode_;
  s.tareHeld = tare_ != 0;
  s.range = gross > std::atol(settings_.Field("IAD1", 1).c_str()) ? 2 : 1;
  s.text = menuText_;
  return s;
}

std::string TSimIndicator::Display() const {
  std::lock_guard lock(mutex_);
  return SegmentStringOf(layout_, DisplayState());
}

// Streamed samples come at the update rate (ICR, readings a second).
std::chrono::steady_clock::duration TSimIndicator::StreamInterval() const {
  const int rate = std::clamp(std::atoi(settings_.Field("ICR", 0).c_str()), 10, 100);
  return std::chrono::microseconds(1'000'000 / rate);
}

std::string TSimIndicator::WeightSample() const {
  const TDisplayState s = DisplayState();
  uint32_t a = wordA_;
  uint32_t b = wordB_;
  if (stepPeriod_ > 0) {
    const double t = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    const auto step = static_cast<uint32_t>(t / stepPeriod_);
    a |= (step & 0x0F) << 4;
    b |= step & 0xFF;
  }
  if (!s.motion) a |= kSteadyBit;
  if (s.centreOfZero) a |= kZeroBit;
  // Appended piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) about the
  // chain of operator+ that says the same.
  std::string reply = std::to_string(s.counts);
  reply.append(",").append(std::to_string(s.decimals)).append(",").append(std::to_string(a));
  if (wordBOn_) reply.append(",").append(std::to_string(b));
  return reply;
}

std::string TSimIndicator::TakeStreamed(std::chrono::steady_clock::time_point now) {
  std::lock_guard lock(mutex_);
  std::string out;
  while (streaming_ && now >= nextSample_) {
    if (!faults_.silent) out += WeightSample() + "\r\n";
    nextSample_ += StreamInterval();
  }
  return out;
}

std::string TSimIndicator::WireLog() const {
  std::lock_guard lock(mutex_);
  return wire_;
}

std::vector<std::string> TSimIndicator::Commands() const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> commands;
  commands.reserve(record_.size());
  for (const auto& r : record_) commands.push_back(r.command);
  return commands;
}

std::vector<TSimRecord> TSimIndicator::Record() const {
  std::lock_guard lock(mutex_);
  return record_;
}

void TSimIndicator::ClearLog() {
  std::lock_guard lock(mutex_);
  wire_.clear();
  record_.clear();
}

void TSimIndicator::SetWeight(double weight) {
  std::lock_guard lock(mutex_);
  weight_ = weight;
}

void TSimIndicator::SetSignal(Signal signal, double amplitude, double periodSeconds) {
  std::lock_guard lock(mutex_);
  signal_ = signal;
  amplitude_ = amplitude;
  period_ = periodSeconds;
}

void TSimIndicator::SetInputs(uint32_t wordA, uint32_t wordB) {
  std::lock_guard lock(mutex_);
  wordA_ = wordA;
  wordB_ = wordB;
}

void TSimIndicator::SetStepInputs(double periodSeconds) {
  std::lock_guard lock(mutex_);
  stepPeriod_ = periodSeconds;
}

void TSimIndicator::SetCof12Supported(bool supported) {
  std::lock_guard lock(mutex_);
  cof12Supported_ = supported;
}

std::string TSimIndicator::Setting(const std::string& key) const {
  std::lock_guard lock(mutex_);
  return settings_.Line(key);
}

void TSimIndicator::SetPasscode(const std::string& digits) {
  std::lock_guard lock(mutex_);
  passcode_ = digits;
  unlocked_ = false;
}

int TSimIndicator::Saves() const {
  std::lock_guard lock(mutex_);
  return saves_;
}

void TSimIndicator::SetFaults(const TSimFaults& faults) {
  std::lock_guard lock(mutex_);
  faults_ = faults;
  commandCount_ = 0;
}

void TSimIndicator::SetCommandFaults(const std::string& mnemonic, const TSimFaults& faults) {
  std::lock_guard lock(mutex_);
  commandFaults_[mnemonic] = faults;
}

void TSimIndicator::SetCalibrationBusyPolls(int polls) {
  std::lock_guard lock(mutex_);
  calBusyPolls_ = polls;
}

void TSimIndicator::SetCalibrationError(int code) {
  std::lock_guard lock(mutex_);
  calError_ = code;
}

void TSimIndicator::SetCalibrationStatuses(std::vector<int> statuses) {
  std::lock_guard lock(mutex_);
  calStatuses_ = std::move(statuses);
}

void TSimIndicator::SetUnreadableCalBlock(int block) {
  std::lock_guard lock(mutex_);
  unreadableCalBlock_ = block;
}

int TSimIndicator::Calibrations() const {
  std::lock_guard lock(mutex_);
  return calibrations_;
}

bool TSimIndicator::Streaming() const {
  std::lock_guard lock(mutex_);
  return streaming_;
}

std::string TSimIndicator::DiscoveryReply(uint16_t tcpPort) const {
  std::lock_guard lock(mutex_);
  const std::string id = settings_.Field("IDN", 0);
  const std::string serial = settings_.Field("IDN", 1);
  const std::string version = settings_.Field("IDN", 2);
  auto unquoted = [](const std::string& s) { return s.size() >= 2 ? s.substr(1, s.size() - 2) : s; };
  return "<?xml version=\"1.0\"?><velmacor><device>"
         "<class>" + std::string(model_ == Model::W830 ? "W830" : "W840") + "</class>"
         "<name>Simulated indicator</name>"
         "<serialnumber>" + unquoted(serial) + "</serialnumber>"
         "<version>" + unquoted(version) + "</version>"
         "<customid>" + unquoted(id) + "</customid>"
         "<macaddress>02:00:00:00:08:30</macaddress>"
         "<tcpport>" + std::to_string(tcpPort) + "</tcpport>"
         "<hostname>sim-indicator</hostname>"
         "</device></velmacor>";
}

}  // namespace sim
