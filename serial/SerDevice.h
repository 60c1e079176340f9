#pragma once
// The device under the serial dispatcher. Every call returns 0 or a count for
// success and a negative driver code for failure; operating-system errors are
// mapped onto those codes by the device, never passed on raw.
#include <cstddef>
#include <cstdint>
#include <string>

// The line as the dispatcher programs it.
struct TSerLineState {
  int Baud = 9600;
  int ByteSize = 8;     // 5..8
  int Parity = 0;       // 0 none, 1 odd, 2 even, 3 mark, 4 space
  int StopBits = 0;     // 0 one, 1 one and a half, 2 two
  bool OutxCtsFlow = false;  // hardware handshake (RTS/CTS)
  bool OutX = false;         // XON/XOFF on output
  bool InX = false;          // XON/XOFF on input
  char XonChar = 17;
  char XoffChar = 19;
  // Received bytes pass untouched: no echo, no line editing, no translation.
  // Every state the driver sets is raw; a device found otherwise is programmed.
  bool Raw = true;
  // Bytes received with a parity error are reported (and still delivered).
  bool CheckParity = false;
  // NUL bytes received are dropped.
  bool DiscardNull = false;
  // Bytes received with an error arrive as ErrorChar.
  bool ReplaceErrors = false;
  char ErrorChar = 0;

  bool operator==(const TSerLineState&) const = default;
};

// Modem status bits as the dispatcher keeps them in its high nibble.
namespace SerModem {
constexpr int CTS = 0x10;
constexpr int DSR = 0x20;
constexpr int Ring = 0x40;
constexpr int RLSD = 0x80;
constexpr int Lines = 0xF0;
}  // namespace SerModem

// Line errors as the device reports them.
namespace SerLineError {
constexpr int Overflow = 0x01;  // the receive queue overflowed
constexpr int Overrun = 0x02;   // the UART lost bytes
constexpr int Parity = 0x04;
constexpr int Framing = 0x08;
constexpr int Break = 0x10;
}  // namespace SerLineError

// Results of a wait.
namespace SerWait {
constexpr int Woken = 0;
constexpr int Ready = 1;
constexpr int TimedOut = 2;
constexpr int NoModemLines = 3;  // a modem-line wait on a device without them
constexpr int Forever = -1;
}  // namespace SerWait

// Result of a modem-line call on a device that has no modem lines (a pseudo-terminal).
constexpr int kNoModemLines = 1;

class TSerDevice {
 public:
  virtual ~TSerDevice() = default;

  // Opens name for exclusive use; a device in use gives SerErr::AlreadyOpen. A
  // refused open changes nothing for whoever holds the device.
  virtual int Open(const std::string& name) = 0;
  virtual void Close() = 0;

  virtual int GetLineState(TSerLineState& state) = 0;
  virtual int SetLineState(const TSerLineState& state) = 0;

  // Both never block: Read gives the bytes at hand (0 when none), Write the bytes
  // the device took (0 when it takes none now). A device that hung up or failed
  // gives SerErr::ReadFault or SerErr::WriteFault.
  virtual int Read(uint8_t* buffer, size_t count) = 0;
  virtual int Write(const uint8_t* buffer, size_t count) = 0;

  // Block until the device can be read (or written), has failed, or Wake was
  // called: SerWait::Ready, SerWait::Woken, or a negative code. A read wait of
  // timeoutMs (SerWait::Forever: none) also ends with SerWait::TimedOut.
  virtual int WaitReadable(int timeoutMs) = 0;
  virtual int WaitWritable(int timeoutMs) = 0;
  // Ends the current or the next read wait once, as a time-out.
  virtual void Interrupt() = 0;
  // bits: the SerModem lines the caller last saw. Blocks until the lines differ
  // from those (SerWait::Ready, with the lines now up in bits), or Wake was
  // called; SerWait::NoModemLines at once on a device without them.
  virtual int WaitModemChange(int& bits) = 0;
  // Ends every wait, now and from then on; used to stop the worker threads.
  virtual void Wake() = 0;

  // kNoModemLines when the device has none; that is not a failure.
  virtual int SetDTR(bool on) = 0;
  virtual int SetRTS(bool on) = 0;
  // The SerModem bits of the lines that are up.
  virtual int GetModemStatus(int& bits) = 0;
  virtual bool HasModemLines() const = 0;
  // RTS raised while sending and dropped after; kNoModemLines where the device cannot.
  virtual int SetRS485(bool on) = 0;

  // The SerLineError bits seen since the last call.
  virtual int TakeLineErrors() = 0;
  // Bytes the device holds for reading, and bytes it still has to send.
  virtual int InputCount() = 0;
  virtual int OutputCount() = 0;

  virtual int PurgeInput() = 0;
  virtual int PurgeOutput() = 0;

  // The system's error number of the last call that failed.
  virtual int LastSystemError() const = 0;
};
