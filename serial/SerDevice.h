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

  bool operator==(const TSerLineState&) const = default;
};

// Modem status bits as the dispatcher keeps them in its high nibble.
namespace SerModem {
constexpr int CTS = 0x10;
constexpr int DSR = 0x20;
constexpr int Ring = 0x40;
constexpr int RLSD = 0x80;
}  // namespace SerModem

// Results of a wait.
namespace SerWait {
constexpr int Woken = 0;
constexpr int Ready = 1;
}  // namespace SerWait

// Result of a modem-line call on a device that has no modem lines (a pseudo-terminal).
constexpr int kNoModemLines = 1;

class TSerDevice {
 public:
  virtual ~TSerDevice() = default;

  // Opens name for exclusive use; a device in use gives SerErr::AlreadyOpen.
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
  // called: SerWait::Ready, SerWait::Woken, or a negative code.
  virtual int WaitReadable() = 0;
  virtual int WaitWritable() = 0;
  // Ends every wait, now and from then on; used to stop the worker threads.
  virtual void Wake() = 0;

  // kNoModemLines when the device has none; that is not a failure.
  virtual int SetDTR(bool on) = 0;
  virtual int SetRTS(bool on) = 0;
  // The SerModem bits of the lines that are up.
  virtual int GetModemStatus(int& bits) = 0;
  virtual bool HasModemLines() const = 0;

  virtual void PurgeInput() = 0;
  virtual void PurgeOutput() = 0;
};
