#pragma once
// The driver's two diagnostics, both off unless asked for: the trace, a ring of
// the bytes sent ('T') and received ('R'), and the dispatch log, a list of timed
// entries of what the dispatcher did. Both are safe to add to from any thread.
#include <atomic>
#include <memory>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "serial/IOBuffers.h"
#include "serial/SerErrorCodes.h"

class TSerTrace {
 public:
  static constexpr size_t kMaxSize = 4000000;
  static constexpr int kNotEnabled = SerErr::TracingNotEnabled;

  void Start(size_t size);  // on, empty, up to size pairs
  void Stop();
  void Pause();
  void Resume();
  void Clear();
  bool On() const;
  bool Enabled() const;  // on or paused
  void Add(char kind, const uint8_t* data, size_t count);

  // Writes the pairs as text; -3008 when the trace was never started, minus an
  // I/O code when the file cannot be written.
  int WriteTo(const std::string& fileName, bool append, bool hex, bool allHex) const;
  std::string Text(bool hex, bool allHex) const;

 private:
  mutable std::mutex lock_;
  std::vector<std::pair<char, uint8_t>> ring_;
  size_t size_ = 0;
  size_t position_ = 0;
  bool wrapped_ = false;
  bool enabled_ = false;
  std::atomic<bool> on_{false};  // read without the lock on every byte sent and received
};

// What the dispatch log tells of: the kinds of entry and their sub-kinds.
namespace SerLog {
enum Kind : uint8_t { Dispatch = 1, Trigger, Line };
enum SubKind : uint16_t { PutBlock = 1, BufferFull, Avail, Data, Timer, Status, LineError, ModemStatus };
}  // namespace SerLog

class TSerDispatchLog {
 public:
  static constexpr size_t kMaxSize = 16000000;
  static constexpr int kNotEnabled = SerErr::LoggingNotEnabled;

  // size bounds the bytes the entries hold, each counted with its data.
  void Start(size_t size, std::string deviceName);
  void Stop();
  void Pause();
  void Resume();
  void Clear();
  bool On() const;
  bool Enabled() const;
  void Add(SerLog::Kind kind, SerLog::SubKind subKind, uint32_t value, const uint8_t* data = nullptr,
           size_t count = 0);
  // An entry whose data is a text of the driver's own, written as it is.
  void Add(SerLog::Kind kind, SerLog::SubKind subKind, uint32_t value, const char* text);
  size_t Count() const;

  int WriteTo(const std::string& fileName, bool append, bool hex, bool allHex) const;
  std::string Text(bool hex, bool allHex) const;

 private:
  void Append(std::unique_ptr<TLogBuffer> entry);
  size_t HeldLocked() const;

  mutable std::mutex lock_;
  TIOQueue entries_;
  size_t size_ = 0;
  bool enabled_ = false;
  std::atomic<bool> on_{false};
  std::string device_;
  uint64_t startMs_ = 0;
};

// Writes text whole through a temporary file renamed over the target; with append
// the old content is kept in front. 0 or a negative I/O code.
int WriteWholeFile(const std::string& fileName, const std::string& text, bool append);
