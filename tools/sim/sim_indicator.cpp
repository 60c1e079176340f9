#include "tools/sim/sim_indicator.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace sim {

namespace {

constexpr char kStx = 2;
constexpr char kEtx = 3;
// A command longer than this without an end is noise and is thrown away.
constexpr std::size_t kMaxCommand = 4096;
constexpr std::size_t kOverlongBytes = 1 << 20;

bool IsAddressPrefix(const std::string& command) {
  return command.size() >= 2 && command[0] == 'S' &&
         std::all_of(command.begin() + 1, command.end(), [](unsigned char c) { return std::isdigit(c); });
}

}  // namespace

TSimIndicator::TSimIndicator(Model model, int address)
    : model_(model),
      start_(std::chrono::steady_clock::now()),
      settings_(model == Model::W830 ? W830Settings(address) : W840Settings(address)) {
  sessions_[0];
}

double TSimIndicator::Now() const {
  if (clock_) return clock_();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

void TSimIndicator::SetClock(Clock clock) {
  std::lock_guard lock(mutex_);
  clock_ = std::move(clock);
  signalStart_ = Now();
}

int TSimIndicator::OpenSession() {
  std::lock_guard lock(mutex_);
  const int id = nextSession_++;
  sessions_[id];
  return id;
}

void TSimIndicator::CloseSession(int session) {
  std::lock_guard lock(mutex_);
  if (session != 0) sessions_.erase(session);
}

TSimIndicator::TSession& TSimIndicator::SessionLocked(int session) { return sessions_[session]; }

std::string TSimIndicator::Feed(std::string_view bytes) { return FeedSession(0, bytes); }

std::string TSimIndicator::FeedSession(int session, std::string_view bytes) {
  std::lock_guard lock(mutex_);
  wire_.append(bytes);
  TSession& s = SessionLocked(session);
  for (char c : bytes) TakeByte(s, c);
  return Drain(s, Now());
}

std::string TSimIndicator::TakeOutput(int session) {
  std::lock_guard lock(mutex_);
  return Drain(SessionLocked(session), Now());
}

bool TSimIndicator::DropRequested(int session) const {
  std::lock_guard lock(mutex_);
  const auto it = sessions_.find(session);
  return it != sessions_.end() && it->second.dropRequested;
}

bool TSimIndicator::TakeClosePtyRequest() {
  std::lock_guard lock(mutex_);
  return std::exchange(closePtyRequested_, false);
}

bool TSimIndicator::SplitsReplies() const {
  std::lock_guard lock(mutex_);
  return std::any_of(faults_.begin(), faults_.end(),
                     [](const TActiveFault& f) { return f.fault.kind == FaultKind::SplitBytes; });
}

void TSimIndicator::TakeByte(TSession& s, char c) {
  if (c == kStx) {
    s.input.clear();
    s.inFrame = true;
    s.discarding = false;
    return;
  }
  const bool ends = s.inFrame ? c == kEtx : (c == ';' || c == kEtx || c == '\r' || c == '\n');
  if (s.discarding) {
    if (ends) s.discarding = s.inFrame = false;
    return;
  }
  if (!ends) {
    s.input += c;
    if (s.input.size() > kMaxCommand) {
      s.input.clear();
      s.discarding = true;
    }
    return;
  }
  if (s.inFrame) {
    // A frame may still hold an address prefix and its command.
    std::string piece;
    for (char f : s.input) {
      if (f == ';') {
        EndCommand(s, piece);
        piece.clear();
      } else {
        piece += f;
      }
    }
    EndCommand(s, piece);
    s.input.clear();
    s.inFrame = false;
    return;
  }
  EndCommand(s, s.input);
  s.input.clear();
}

void TSimIndicator::EndCommand(TSession& s, const std::string& text) {
  if (text.empty()) return;
  record_.push_back({Now(), text});
  if (IsAddressPrefix(text)) {
    s.pendingAddress = std::stoi(text.substr(1, 6));
    return;
  }
  const int address = std::exchange(s.pendingAddress, -1);
  // Another unit's command is not ours to carry out; a broadcast is, silently.
  if (address >= 0 && address != 98 && address != 99 && address != Address()) return;
  Execute(s, text, address != 98);
}

void TSimIndicator::Execute(TSession& s, const std::string& command, bool answer) {
  std::string reply = Answer(s, command);
  for (auto it = faults_.begin(); it != faults_.end();) {
    const bool counts = it->fault.kind == FaultKind::DropAfter || it->fault.kind == FaultKind::ClosePtyAfter;
    if (counts && command.rfind(it->fault.command, 0) == 0 && --it->commandsLeft <= 0) {
      if (it->fault.kind == FaultKind::DropAfter)
        s.dropRequested = true;
      else
        closePtyRequested_ = true;
      it = faults_.erase(it);
      continue;
    }
    ++it;
  }
  if (answer && !reply.empty()) Queue(s, std::move(reply), command);
}

void TSimIndicator::Queue(TSession& s, std::string reply, const std::string& command) {
  double due = Now();
  std::string bytes = reply + "\r\n";
  for (const TActiveFault& active : faults_) {
    const TFault& f = active.fault;
    if (command.rfind(f.command, 0) != 0) continue;
    switch (f.kind) {
      case FaultKind::Silence:
        return;
      case FaultKind::Reject:
        bytes = "?\r\n";
        break;
      case FaultKind::Delay:
        due += f.value / 1000.0;
        break;
      case FaultKind::RandomDelay:
        due += std::uniform_int_distribution<int>(0, std::max(0, f.value))(random_) / 1000.0;
        break;
      case FaultKind::Garbage: {
        bytes.clear();
        std::uniform_int_distribution<int> byte(0x20, 0xFF);
        for (int i = 0; i < 16; ++i) bytes += static_cast<char>(byte(random_));
        bytes += "\r\n";
        break;
      }
      case FaultKind::Overlong:
        bytes.assign(kOverlongBytes, 'A');
        break;
      case FaultKind::SplitBytes:
      case FaultKind::DropAfter:
      case FaultKind::ClosePtyAfter:
        break;
    }
  }
  s.output.push_back({due, std::move(bytes)});
}

std::string TSimIndicator::Drain(TSession& s, double now) {
  std::string out;
  // Replies leave in order: a delayed one holds back those behind it.
  while (!s.output.empty() && s.output.front().due <= now) {
    out += s.output.front().bytes;
    s.output.pop_front();
  }
  if (s.streaming) {
    const double interval = 1.0 / std::max(1, IntField("ICR", 0));
    if (now - s.nextSample > 1.0) s.nextSample = now;
    while (now >= s.nextSample) {
      out += WeightSample() + "\r\n";
      s.nextSample += interval;
    }
  }
  return out;
}

std::string TSimIndicator::WireLog() const {
  std::lock_guard lock(mutex_);
  return wire_;
}

std::vector<std::string> TSimIndicator::Commands() const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> out;
  out.reserve(record_.size());
  for (const auto& entry : record_) out.push_back(entry.command);
  return out;
}

std::vector<TRecordEntry> TSimIndicator::Record() const {
  std::lock_guard lock(mutex_);
  return record_;
}

void TSimIndicator::ClearLog() {
  std::lock_guard lock(mutex_);
  wire_.clear();
  record_.clear();
}

void TSimIndicator::SetWeight(double weight) {
  TSignal steady;
  steady.level = weight;
  SetSignal(steady);
}

void TSimIndicator::SetSignal(const TSignal& signal) {
  std::lock_guard lock(mutex_);
  signal_ = signal;
  signalStart_ = Now();
}

void TSimIndicator::SetPasscode(const std::string& digits) {
  std::lock_guard lock(mutex_);
  passcode_ = digits;
  unlocked_ = false;
}

int TSimIndicator::SaveCount() const {
  std::lock_guard lock(mutex_);
  return saves_;
}

void TSimIndicator::SetCalibrationBusyPolls(int polls) {
  std::lock_guard lock(mutex_);
  busyPolls_ = std::max(0, polls);
}

void TSimIndicator::ScriptCalibrationError(int code) {
  std::lock_guard lock(mutex_);
  scriptedError_ = code;
}

void TSimIndicator::AddFault(const TFault& fault) {
  std::lock_guard lock(mutex_);
  faults_.push_back({fault, fault.value});
}

void TSimIndicator::ClearFaults() {
  std::lock_guard lock(mutex_);
  faults_.clear();
}

}  // namespace sim
