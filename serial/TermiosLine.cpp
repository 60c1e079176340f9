#include "serial/TermiosLine.h"

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<int, unsigned>, 19> kStandardRates = {{
    {50, B50},       {75, B75},       {110, B110},     {134, B134},     {150, B150},
    {200, B200},     {300, B300},     {600, B600},     {1200, B1200},   {1800, B1800},
    {2400, B2400},   {4800, B4800},   {9600, B9600},   {19200, B19200}, {38400, B38400},
    {57600, B57600}, {115200, B115200}, {230400, B230400}, {460800, B460800},
}};

unsigned SizeFlag(int byteSize) {
  switch (byteSize) {
    case 5: return CS5;
    case 6: return CS6;
    case 7: return CS7;
    default: return CS8;
  }
}

constexpr unsigned kCookedInput = BRKINT | IGNBRK | IGNPAR | ISTRIP | INLCR | IGNCR | ICRNL | IUCLC | IXANY | IMAXBEL;
constexpr unsigned kCookedLocal = ECHO | ECHONL | ICANON | ISIG | IEXTEN;

}  // namespace

termios2 BuildTermios(const termios2& base, const TSerLineState& s, bool markErrors) {
  termios2 t = base;
  t.c_iflag &= ~(kCookedInput | PARMRK | IXON | IXOFF | INPCK);
  if (markErrors) t.c_iflag |= PARMRK;
  if (s.CheckParity) t.c_iflag |= INPCK;
  t.c_oflag &= ~OPOST;
  t.c_lflag &= ~kCookedLocal;
  t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | CBAUD | (CBAUD << IBSHIFT));
  t.c_cflag |= CREAD | CLOCAL | SizeFlag(s.ByteSize);
  switch (s.Parity) {
    case 1: t.c_cflag |= PARENB | PARODD; break;
    case 2: t.c_cflag |= PARENB; break;
    case 3: t.c_cflag |= PARENB | PARODD | CMSPAR; break;
    case 4: t.c_cflag |= PARENB | CMSPAR; break;
    default: break;
  }
  // With five data bits the UART's "two stop bits" is one and a half.
  if (s.StopBits != 0) t.c_cflag |= CSTOPB;
  if (s.OutxCtsFlow) t.c_cflag |= CRTSCTS;
  if (s.OutX) t.c_iflag |= IXON;
  if (s.InX) t.c_iflag |= IXOFF;
  t.c_cc[VSTART] = static_cast<cc_t>(s.XonChar);
  t.c_cc[VSTOP] = static_cast<cc_t>(s.XoffChar);
  // Non-blocking reads then give EAGAIN when nothing is there, so a zero read means end of file.
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 0;

  unsigned speed = BOTHER;
  for (const auto& [rate, flag] : kStandardRates)
    if (rate == s.Baud) speed = flag;
  t.c_cflag |= speed;
  t.c_ispeed = static_cast<speed_t>(s.Baud);
  t.c_ospeed = static_cast<speed_t>(s.Baud);
  return t;
}

TSerLineState LineStateOf(const termios2& t) {
  TSerLineState s;
  s.Baud = static_cast<int>(t.c_ospeed);
  switch (t.c_cflag & CSIZE) {
    case CS5: s.ByteSize = 5; break;
    case CS6: s.ByteSize = 6; break;
    case CS7: s.ByteSize = 7; break;
    default: s.ByteSize = 8; break;
  }
  if (t.c_cflag & PARENB) {
    const bool odd = t.c_cflag & PARODD;
    if (t.c_cflag & CMSPAR)
      s.Parity = odd ? 3 : 4;
    else
      s.Parity = odd ? 1 : 2;
  }
  if (t.c_cflag & CSTOPB) s.StopBits = s.ByteSize == 5 ? 1 : 2;
  s.OutxCtsFlow = t.c_cflag & CRTSCTS;
  s.OutX = t.c_iflag & IXON;
  s.InX = t.c_iflag & IXOFF;
  s.XonChar = static_cast<char>(t.c_cc[VSTART]);
  s.XoffChar = static_cast<char>(t.c_cc[VSTOP]);
  s.CheckParity = t.c_iflag & INPCK;
  s.Raw = !(t.c_iflag & kCookedInput) && !(t.c_oflag & OPOST) && !(t.c_lflag & kCookedLocal) &&
          (t.c_cflag & (CREAD | CLOCAL)) == (CREAD | CLOCAL) && t.c_cc[VMIN] == 1 && t.c_cc[VTIME] == 0;
  return s;
}

size_t UnmarkInput(uint8_t* buffer, size_t count, const TInputFilter& filter, std::vector<uint8_t>& carry) {
  size_t out = 0;
  size_t i = 0;
  while (i < count) {
    const uint8_t b = buffer[i];
    if (b != 0xFF || !filter.Marked) {
      if (!(filter.DiscardNull && b == 0)) buffer[out++] = b;
      ++i;
      continue;
    }
    if (i + 1 == count || (buffer[i + 1] == 0 && i + 2 == count)) {
      carry.assign(buffer + i, buffer + count);
      break;
    }
    if (buffer[i + 1] == 0) {
      const uint8_t bad = buffer[i + 2];
      if (bad != 0) buffer[out++] = filter.ReplaceErrors ? filter.ErrorChar : bad;
      i += 3;
    } else {
      buffer[out++] = 0xFF;
      i += buffer[i + 1] == 0xFF ? 2 : 1;
    }
  }
  return out;
}
