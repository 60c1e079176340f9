#pragma once
// How a command looks on the wire and on the Test page.
#include <string>

// "S05;" for unit 5: the unit address in at least two digits.
std::string AddressPrefix(int address);

struct TCommandFrame {
  std::string wire;  // the bytes sent
  std::string echo;  // the Test page line, ">>>" and the command
};

// Framed by STX and ETX, or ended with ';' when it does not end so already.
TCommandFrame FrameCommand(const std::string& text, bool stxEtx);
