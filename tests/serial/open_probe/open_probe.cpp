// Opens a serial device as the programs do and prints "opened", or the text the
// technician would read. The tests run it as another account.
#include <cstdio>
#include <exception>

#include "serial/OpenRefusal.h"
#include "serial/TermiosDevice.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  TTermiosDevice device;
  try {
    CheckOpenResult(device.Open(argv[1]), argv[1]);
    std::puts("opened");
  } catch (const std::exception& e) {
    std::puts(e.what());
  }
  return 0;
}
