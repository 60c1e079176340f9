#pragma once
// The line of one open port: its framing and rate, the handshake, the DTR and RTS
// lines the port drives, and what the device reports of the modem lines and of
// line errors.
#include <atomic>
#include <functional>
#include <mutex>

#include "serial/SerDevice.h"

// Line flags of InitPort.
namespace SerLineFlag {
constexpr int DTR = 0x01;
constexpr int RTS = 0x02;
constexpr int UseDTR = 0x10;      // DTR under handshake control
constexpr int UseRTS = 0x20;      // RTS under handshake control
constexpr int RequireDSR = 0x40;
constexpr int RequireCTS = 0x80;
}  // namespace SerLineFlag

// Start, data, parity and stop bits of one character.
int BitsPerChar(const TSerLineState& line);

// Everything here is under the state lock; the device's line calls are made with
// it held, so that no two of them cross.
class TSerLineControl {
 public:
  explicit TSerLineControl(TSerDevice& device) : device_(device) {}

  // A fresh open: the handshake of lineFlags, no line errors.
  void Reset(int lineFlags);
  // 0 (baud), 5 (parity), 3 (stop bits) and 9 (data bits) keep the device's value.
  // Values the device already has leave it alone; before a change, drain waits
  // for what was sent to leave the device (without the lock).
  int SetLine(int baud, int parity, int stopBits, int dataBits,
              const std::function<void(const TSerLineState&)>& drain);
  // 1 when the line is under handshake control or the device has no modem lines.
  int SetDTR(bool on);
  int SetRTS(bool on);
  // hwFlags: the SerLineFlag handshake bits.
  int SetFlowControl(int hwFlags, bool xonXoffOut, bool xonXoffIn, char xonChar, char xoffChar);
  int SetRS485(bool on);
  // What the line carries at its rate.
  int BytesPerSecond() const { return bytesPerSecond_; }

  // The modem lines found at the open.
  void SetLines(int bits);
  // The modem lines after a change the status thread saw (a ring too); the new status.
  int LinesChanged(int bits, bool ring);
  // The SerModem lines that are up.
  int Lines();
  // Modem lines in the high nibble, their changes since the last call in the low
  // one (0x04 also for a ring).
  int ModemStatus();

  void AddLineErrors(int errors);
  // A worker thread's device failure: a pending line error of its own.
  void MarkFailure();
  // The SerLineError bits pending, or -1 after a device failure.
  int PendingErrors();
  // 10 after a device failure; else 1, 2, 3, 4 or 9 for the first pending of
  // receive overflow, overrun, parity, framing and break; 0 when none. Clears
  // what it reports but a break, which LineBreak reports and clears.
  int LineError();
  bool LineBreak();

 private:
  int ApplyLineLocked(const TSerLineState& state);

  TSerDevice& device_;
  std::mutex lock_;
  bool dtr_ = false;
  bool rts_ = false;
  bool dtrFlow_ = false;
  bool rtsFlow_ = false;
  bool rs485_ = false;
  int modemStatus_ = 0;
  int lineErrors_ = 0;  // SerLineError bits, or -1 after a device failure
  // Read by the reader without the lock, for its batches.
  std::atomic<int> bytesPerSecond_{0};
};
