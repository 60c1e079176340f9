#pragma once
// A serial device on Linux: a tty descriptor in raw mode, held for exclusive use,
// waited on with poll beside an eventfd that stops every wait. A device that
// another process has open, that a serial tool has locked (flock, or a lock file
// in the lock folder) or that another holder made exclusive is refused without
// being touched; an opened one is locked both ways for as long as it is open. A device whose
// driver counts line errors (a UART) also marks the bytes received with an error
// in its input, so that each error is seen where it happened.
#include <pthread.h>

#include <atomic>
#include <mutex>
#include <vector>

#include "serial/PortHolders.h"
#include "serial/SerDevice.h"

class TTermiosDevice final : public TSerDevice {
 public:
  explicit TTermiosDevice(std::string lockFolder = kUucpLockFolder);
  ~TTermiosDevice() override;

  int Open(const std::string& name) override;
  void Close() override;
  int GetLineState(TSerLineState& state) override;
  int SetLineState(const TSerLineState& state) override;
  int Read(uint8_t* buffer, size_t count) override;
  int Write(const uint8_t* buffer, size_t count) override;
  int WaitReadable(int timeoutMs) override;
  int WaitWritable(int timeoutMs) override;
  void Interrupt() override;
  int WaitModemChange(int& bits) override;
  void Wake() override;
  int SetDTR(bool on) override;
  int SetRTS(bool on) override;
  int GetModemStatus(int& bits) override;
  bool HasModemLines() const override { return hasModemLines_; }
  int SetRS485(bool on) override;
  int TakeLineErrors() override;
  int InputCount() override;
  int OutputCount() override;
  int PurgeInput() override;
  int PurgeOutput() override;
  int LastSystemError() const override { return lastError_; }

 private:
  struct TCounts {
    int frame = 0, overrun = 0, parity = 0, brk = 0, bufOverrun = 0;
  };
  int Wait(short events, int faultCode, int timeoutMs);
  int SetModemLine(int line, bool on);
  // Records errno and gives code.
  int Failed(int code);
  bool ReadCounts(TCounts& counts);
  // One wait for the lines: SerWait::Ready when they may have changed.
  int WaitModemInterrupt();
  int PollModemLines();

  // SerErr::AlreadyOpen when another holder has the device open or locked.
  int RefuseHeld(int fd, const std::string& name);

  std::string lockFolder_;
  TUucpLock lock_;
  int fd_ = -1;
  int wakeFd_ = -1;
  int interruptFd_ = -1;
  std::atomic<int> lastError_{0};
  std::atomic<bool> hasModemLines_{false};
  std::atomic<bool> woken_{false};
  // The modem-line interrupt wait cannot be woken by the eventfd; a signal ends it.
  std::atomic<bool> useModemInterrupt_{false};
  std::atomic<bool> inModemWait_{false};
  pthread_t modemWaiter_{};

  bool hasCounts_ = false;  // the driver counts line errors, and input is marked
  // Set by the line's owner while the reader reads.
  std::atomic<bool> discardNull_{false};
  std::atomic<bool> replaceErrors_{false};
  std::atomic<uint8_t> errorChar_{0};
  // The start of a mark that the last read cut off.
  std::vector<uint8_t> carry_;
  std::atomic<int> markedErrors_{0};
  std::mutex countsLock_;
  TCounts counts_;
};

// The driver code for an errno of opening a device.
int OpenErrorCode(int error);
