#include "serial/SerLineControl.h"

#include <algorithm>
#include <utility>

#include "serial/SerErrorCodes.h"

int BitsPerChar(const TSerLineState& line) {
  return 1 + line.ByteSize + (line.Parity ? 1 : 0) + (line.StopBits ? 2 : 1);
}

void TSerLineControl::Reset(int lineFlags) {
  std::lock_guard lock(lock_);
  lineErrors_ = 0;
  dtrFlow_ = lineFlags & SerLineFlag::UseDTR;
  rtsFlow_ = lineFlags & (SerLineFlag::UseRTS | SerLineFlag::RequireCTS);
}

int TSerLineControl::ApplyLineLocked(const TSerLineState& state) {
  const int result = device_.SetLineState(state);
  if (result < 0) return result;
  // Programming the line may drop the lines that the device handles itself.
  if (!dtrFlow_) device_.SetDTR(dtr_);
  if (!rtsFlow_ && !rs485_) device_.SetRTS(rts_);
  return SerErr::Ok;
}

int TSerLineControl::SetLine(int baud, int parity, int stopBits, int dataBits,
                             const std::function<void(const TSerLineState&)>& drain) {
  if (baud < 0) return SerErr::BadBaudRate;
  if (dataBits != 9 && (dataBits < 5 || dataBits > 8)) return -2003;
  if (parity < 0 || parity > 5) return SerErr::BadArgument;
  auto withValues = [&](TSerLineState s) {
    if (baud != 0) s.Baud = baud;
    if (parity != 5) s.Parity = parity;
    if (dataBits != 9) s.ByteSize = dataBits;
    if (stopBits != 3) {
      const int stop = stopBits == 0 ? 1 : std::min(stopBits, 2);
      s.StopBits = stop == 1 ? 0 : 2;
      if (s.ByteSize == 5) s.StopBits = 1;
    }
    s.Raw = true;
    // A device without error counters would hand on a byte with a parity error as NUL.
    s.CheckParity = false;
    s.DiscardNull = s.ReplaceErrors = false;
    s.ErrorChar = 0;
    return s;
  };
  TSerLineState current;
  {
    std::lock_guard lock(lock_);
    const int r = device_.GetLineState(current);
    if (r < 0) return r;
  }
  if (withValues(current) == current) {
    bytesPerSecond_ = current.Baud / BitsPerChar(current);
    return SerErr::Ok;
  }
  drain(current);
  std::lock_guard lock(lock_);
  const int r = device_.GetLineState(current);
  if (r < 0) return r;
  const TSerLineState wanted = withValues(current);
  const int result = ApplyLineLocked(wanted);
  if (result == SerErr::Ok) bytesPerSecond_ = wanted.Baud / BitsPerChar(wanted);
  return result;
}

int TSerLineControl::SetDTR(bool on) {
  std::lock_guard lock(lock_);
  if (dtrFlow_) return 1;
  dtr_ = on;
  const int r = device_.SetDTR(on);
  return r < 0 ? r : 0;
}

int TSerLineControl::SetRTS(bool on) {
  std::lock_guard lock(lock_);
  if (rtsFlow_) return 1;
  rts_ = on;
  if (rs485_) return 0;
  const int r = device_.SetRTS(on);
  return r < 0 ? r : 0;
}

int TSerLineControl::SetFlowControl(int hwFlags, bool xonXoffOut, bool xonXoffIn, char xonChar, char xoffChar) {
  std::lock_guard lock(lock_);
  const bool wasDtrFlow = dtrFlow_, wasRtsFlow = rtsFlow_;
  dtrFlow_ = hwFlags & SerLineFlag::UseDTR;
  rtsFlow_ = hwFlags & (SerLineFlag::UseRTS | SerLineFlag::RequireCTS);
  TSerLineState current;
  int result = device_.GetLineState(current);
  if (result < 0) return result;
  TSerLineState wanted = current;
  wanted.OutxCtsFlow = rtsFlow_;
  wanted.OutX = xonXoffOut;
  wanted.InX = xonXoffIn;
  wanted.XonChar = xonChar;
  wanted.XoffChar = xoffChar;
  if (!(wanted == current)) result = device_.SetLineState(wanted);
  if (result < 0) return result;
  // A line that leaves handshake control takes the state it was last given.
  if (wasDtrFlow && !dtrFlow_) device_.SetDTR(dtr_);
  if (wasRtsFlow && !rtsFlow_ && !rs485_) device_.SetRTS(rts_);
  return SerErr::Ok;
}

int TSerLineControl::SetRS485(bool on) {
  std::lock_guard lock(lock_);
  if (on == rs485_) return SerErr::Ok;
  const int r = device_.SetRS485(on);
  if (r < 0) return r;
  rs485_ = on;
  if (!on && !rtsFlow_) device_.SetRTS(rts_);
  return SerErr::Ok;
}

void TSerLineControl::SetLines(int bits) {
  std::lock_guard lock(lock_);
  modemStatus_ = bits & SerModem::Lines;
}

int TSerLineControl::LinesChanged(int bits, bool ring) {
  std::lock_guard lock(lock_);
  const int delta = ((modemStatus_ ^ bits) & SerModem::Lines) >> 4;
  modemStatus_ = (bits & SerModem::Lines) | (modemStatus_ & 0x0F) | delta | (ring ? 0x04 : 0);
  return modemStatus_;
}

int TSerLineControl::Lines() {
  std::lock_guard lock(lock_);
  return modemStatus_ & SerModem::Lines;
}

int TSerLineControl::ModemStatus() {
  std::lock_guard lock(lock_);
  const int status = modemStatus_;
  modemStatus_ &= SerModem::Lines;
  return status;
}

void TSerLineControl::AddLineErrors(int errors) {
  std::lock_guard lock(lock_);
  if (lineErrors_ >= 0) lineErrors_ |= errors;
}

void TSerLineControl::MarkFailure() {
  std::lock_guard lock(lock_);
  lineErrors_ = -1;
}

int TSerLineControl::PendingErrors() {
  std::lock_guard lock(lock_);
  return lineErrors_;
}

int TSerLineControl::LineError() {
  std::lock_guard lock(lock_);
  if (lineErrors_ == -1) {
    lineErrors_ = 0;
    return 10;
  }
  static constexpr std::pair<int, int> kCodes[] = {{SerLineError::Overflow, 1},
                                                   {SerLineError::Overrun, 2},
                                                   {SerLineError::Parity, 3},
                                                   {SerLineError::Framing, 4},
                                                   {SerLineError::Break, 9}};
  for (const auto& [bit, code] : kCodes) {
    if (!(lineErrors_ & bit)) continue;
    lineErrors_ &= ~0x0F;
    return code;
  }
  return 0;
}

bool TSerLineControl::LineBreak() {
  std::lock_guard lock(lock_);
  if (lineErrors_ < 0 || !(lineErrors_ & SerLineError::Break)) return false;
  lineErrors_ &= ~SerLineError::Break;
  return true;
}
