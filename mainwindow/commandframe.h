#pragma once
// How a command goes on the wire and how it is echoed on the Test page.
#include <string>

// "S%.2d;": the unit address in two digits at least (99 means any unit).
std::string AddressPrefix(int address);

struct TCommandFrame {
  std::string wire;  // the bytes to send
  std::string echo;  // the Test page line, ">>>" and the command
};

// Framed by STX and ETX when stxEtx, else ended with ';' unless it already is.
TCommandFrame FrameCommand(const std::string& text, bool stxEtx);
