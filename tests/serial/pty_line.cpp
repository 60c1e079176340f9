// Apart from pty_pair.cpp: the kernel's termios2 header clashes with the C library's termios.
#include <sys/ioctl.h>

#include "pty_pair.h"
#include "serial/TermiosLine.h"

TSerLineState TPtyPair::SlaveLine() const {
  termios2 t{};
  ::ioctl(master_, TCGETS2, &t);
  return LineStateOf(t);
}
