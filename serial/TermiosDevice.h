#pragma once
// A serial device on Linux: a tty descriptor in raw mode, held for exclusive use,
// waited on with poll beside an eventfd that stops every wait.
#include <atomic>

#include "serial/SerDevice.h"

class TTermiosDevice final : public TSerDevice {
 public:
  TTermiosDevice();
  ~TTermiosDevice() override;

  int Open(const std::string& name) override;
  void Close() override;
  int GetLineState(TSerLineState& state) override;
  int SetLineState(const TSerLineState& state) override;
  int Read(uint8_t* buffer, size_t count) override;
  int Write(const uint8_t* buffer, size_t count) override;
  int WaitReadable() override;
  int WaitWritable() override;
  void Wake() override;
  int SetDTR(bool on) override;
  int SetRTS(bool on) override;
  int GetModemStatus(int& bits) override;
  bool HasModemLines() const override { return hasModemLines_; }
  void PurgeInput() override;
  void PurgeOutput() override;
  // Bytes the driver holds for reading.
  int InputCount();
  // The errno of the last failed Open.
  int OpenErrno() const { return openErrno_; }

 private:
  int Wait(short events, int faultCode);
  int SetModemLine(int line, bool on);

  int fd_ = -1;
  int wakeFd_ = -1;
  int openErrno_ = 0;
  std::atomic<bool> hasModemLines_{false};
};

// The driver code for an errno of opening a device.
int OpenErrorCode(int error);
