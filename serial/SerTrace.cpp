#include "serial/SerTrace.h"

#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <sstream>

#include "serial/SerErrorCodes.h"

namespace {

constexpr size_t kLineWidth = 78;

uint64_t NowMs() {
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::now().time_since_epoch())
                                   .count());
}

std::string ByteText(uint8_t b, bool hex, bool allHex) {
  char buf[8];
  if (!allHex && b >= 32 && b < 127) return std::string(1, static_cast<char>(b));
  std::snprintf(buf, sizeof buf, hex ? "[%02X]" : "[%u]", b);
  return buf;
}

const char* Heading(char kind) {
  switch (kind) {
    case 'T': return "Transmit: ";
    case 'R': return "Receive: ";
    default: return "Special-";
  }
}

const char* KindText(uint8_t kind) {
  switch (kind) {
    case SerLog::Dispatch: return "Dispatch";
    case SerLog::Trigger: return "Trigger";
    case SerLog::Line: return "Line";
    default: return "";
  }
}

// The driver's own text of a sub-kind, and whether its entries carry a text of
// the driver's (written as it is) rather than bytes of the line.
struct TSubKindText {
  const char* Name;
  bool DataIsText;
};

const TSubKindText& SubKindText(uint16_t subKind) {
  static constexpr TSubKindText kTexts[] = {
      {"", false},         {"PutBlock", false}, {"Full", true},  {"Avail", false}, {"Data", false},
      {"Timer", false},    {"Status", false},   {"Error", false}, {"Modem", false},
  };
  return subKind < std::size(kTexts) ? kTexts[subKind] : kTexts[0];
}

int IoCode(int error) {
  switch (error) {
    case ENOENT: return SerErr::FileNotFound;
    case ENOTDIR: return SerErr::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS: return SerErr::AccessDenied;
    default: return SerErr::WriteFault;
  }
}

}  // namespace

int WriteWholeFile(const std::string& fileName, const std::string& text, bool append) {
  std::string content;
  if (append) {
    std::ifstream old(fileName, std::ios::binary);
    if (old) content.assign(std::istreambuf_iterator<char>(old), std::istreambuf_iterator<char>());
  }
  content += text;
  const std::string temp = fileName + ".tmp" + std::to_string(::getpid());
  FILE* f = std::fopen(temp.c_str(), "wb");
  if (!f) return IoCode(errno);
  const bool written = std::fwrite(content.data(), 1, content.size(), f) == content.size();
  const bool closed = std::fclose(f) == 0;
  if (!written || !closed || std::rename(temp.c_str(), fileName.c_str()) != 0) {
    const int error = errno;
    std::remove(temp.c_str());
    return IoCode(error);
  }
  return SerErr::Ok;
}

void TSerTrace::Start(size_t size) {
  std::lock_guard lock(lock_);
  size_ = std::clamp<size_t>(size, 1, kMaxSize);
  ring_.assign(size_, {});
  position_ = 0;
  wrapped_ = false;
  enabled_ = true;
  on_ = true;
}

void TSerTrace::Stop() {
  std::lock_guard lock(lock_);
  ring_.clear();
  size_ = position_ = 0;
  wrapped_ = enabled_ = on_ = false;
}

void TSerTrace::Pause() {
  std::lock_guard lock(lock_);
  on_ = false;
}

void TSerTrace::Resume() {
  std::lock_guard lock(lock_);
  on_ = enabled_;
}

void TSerTrace::Clear() {
  std::lock_guard lock(lock_);
  position_ = 0;
  wrapped_ = false;
}

bool TSerTrace::On() const { return on_; }

bool TSerTrace::Enabled() const {
  std::lock_guard lock(lock_);
  return enabled_;
}

void TSerTrace::Add(char kind, const uint8_t* data, size_t count) {
  if (!on_) return;
  std::lock_guard lock(lock_);
  if (!on_) return;
  for (size_t i = 0; i < count; ++i) {
    ring_[position_] = {kind, data[i]};
    if (++position_ == size_) {
      position_ = 0;
      wrapped_ = true;
    }
  }
}

std::string TSerTrace::Text(bool hex, bool allHex) const {
  std::lock_guard lock(lock_);
  std::string out;
  std::string line;
  char kind = 0;
  const size_t count = wrapped_ ? size_ : position_;
  const size_t first = wrapped_ ? position_ : 0;
  for (size_t i = 0; i < count; ++i) {
    const auto& [k, b] = ring_[(first + i) % size_];
    if (k != kind) {
      if (!line.empty()) out += line + "\r\n";
      if (kind != 0) out += "\r\n";
      line = Heading(k);
      kind = k;
    }
    const std::string piece = ByteText(b, hex, allHex);
    if (line.size() + piece.size() > kLineWidth) {
      out += line + "\r\n";
      line.clear();
    }
    line += piece;
  }
  if (!line.empty()) out += line + "\r\n";
  return out;
}

int TSerTrace::WriteTo(const std::string& fileName, bool append, bool hex, bool allHex) const {
  if (!Enabled()) return kNotEnabled;
  return WriteWholeFile(fileName, Text(hex, allHex), append);
}

void TSerDispatchLog::Start(size_t size, std::string deviceName) {
  std::lock_guard lock(lock_);
  size_ = std::clamp<size_t>(size, 1, kMaxSize);
  entries_.Clear();
  enabled_ = on_ = true;
  device_ = std::move(deviceName);
  startMs_ = NowMs();
}

void TSerDispatchLog::Stop() {
  std::lock_guard lock(lock_);
  entries_.Clear();
  enabled_ = on_ = false;
}

void TSerDispatchLog::Pause() {
  std::lock_guard lock(lock_);
  on_ = false;
}

void TSerDispatchLog::Resume() {
  std::lock_guard lock(lock_);
  on_ = enabled_;
}

void TSerDispatchLog::Clear() {
  std::lock_guard lock(lock_);
  entries_.Clear();
}

bool TSerDispatchLog::On() const { return on_; }

bool TSerDispatchLog::Enabled() const {
  std::lock_guard lock(lock_);
  return enabled_;
}

size_t TSerDispatchLog::Count() const {
  std::lock_guard lock(lock_);
  return entries_.Count();
}

void TSerDispatchLog::Add(SerLog::Kind kind, SerLog::SubKind subKind, uint32_t value, const char* text) {
  Add(kind, subKind, value, reinterpret_cast<const uint8_t*>(text), std::strlen(text));
}

void TSerDispatchLog::Add(SerLog::Kind kind, SerLog::SubKind subKind, uint32_t value, const uint8_t* data,
                          size_t count) {
  if (!on_) return;
  Append(std::make_unique<TLogBuffer>(kind, static_cast<int>(count), data, static_cast<int>(value), 0, subKind));
}

// An entry without data still takes room, so each counts whole.
size_t TSerDispatchLog::HeldLocked() const {
  return static_cast<size_t>(entries_.BytesQueued()) + entries_.Count() * sizeof(TLogBuffer);
}

void TSerDispatchLog::Append(std::unique_ptr<TLogBuffer> entry) {
  std::lock_guard lock(lock_);
  if (!on_) return;
  entry->Time = static_cast<int>(NowMs() - startMs_);
  entries_.Push(std::move(entry));
  while (HeldLocked() > size_ && entries_.Count() > 1) entries_.Pop();
}

std::string TSerDispatchLog::Text(bool hex, bool allHex) const {
  std::lock_guard lock(lock_);
  std::ostringstream out;
  utsname u{};
  ::uname(&u);
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%d/%m/%y, %H:%M:%S", &local);
  out << "SERIAL v4.07\r\n"
      << "Compiler : " << __VERSION__ << "\r\n"
      << "Operating System : " << u.sysname << ' ' << u.release << "\r\n"
      << "Device: " << device_ << "\r\n"
      << "Date/time: " << stamp << "\r\n\r\n"
      << "    Time  Kind      Sub-kind      Value      Data\r\n";
  entries_.ForEach([&](const TIOBuffer& item) {
    const auto& e = static_cast<const TLogBuffer&>(item);
    const TSubKindText& sub = SubKindText(e.SubKind);
    char head[96];
    std::snprintf(head, sizeof head, "%8s  %-8s  %-12s  %08x   ", std::to_string(static_cast<uint32_t>(e.Time)).c_str(),
                  KindText(e.Kind), sub.Name, static_cast<uint32_t>(e.Value));
    out << head;
    if (sub.DataIsText)
      out.write(reinterpret_cast<const char*>(e.Data.data()), static_cast<std::streamsize>(e.Data.size()));
    else
      for (uint8_t b : e.Data) out << ByteText(b, hex, allHex);
    out << "\r\n";
  });
  return out.str();
}

int TSerDispatchLog::WriteTo(const std::string& fileName, bool append, bool hex, bool allHex) const {
  if (!Enabled()) return kNotEnabled;
  return WriteWholeFile(fileName, Text(hex, allHex), append);
}
