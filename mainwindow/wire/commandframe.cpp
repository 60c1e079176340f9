#include "mainwindow/wire/commandframe.h"

std::string AddressPrefix(int address) {
  std::string digits = std::to_string(address);
  if (digits.size() < 2 && address >= 0) digits.insert(0, 1, '0');
  return "S" + digits + ";";
}

TCommandFrame FrameCommand(const std::string& text, bool stxEtx) {
  TCommandFrame frame{text, ">>>" + text};
  if (stxEtx) {
    frame.wire = '\x02' + text + '\x03';
  } else if (text.empty() || text.back() != ';') {
    frame.wire += ';';
    frame.echo += ';';
  }
  return frame;
}
