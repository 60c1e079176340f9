#pragma once
// The computer's IPv4 interface addresses, for finding indicators on the local
// network. Tests install a list of their own, so that nothing ever probes a real
// interface.
#include <cstdint>
#include <vector>

struct TNetInterface {
  uint32_t address = 0;  // host byte order
  uint32_t mask = 0;     // host byte order
  bool up = false;
  bool loopback = false;
};

class TNetInterfaceSource {
 public:
  virtual ~TNetInterfaceSource() = default;
  // Fills list with every IPv4 address of every interface, in the system's order;
  // returns 0, or the system's error code (list then empty).
  virtual int Query(std::vector<TNetInterface>& list) = 0;
};

// The source in force: the one installed last, or the system's (getifaddrs).
TNetInterfaceSource& NetInterfaces();
// Installs a source (tests); nullptr goes back to the system's. Not owned.
void SetNetInterfaces(TNetInterfaceSource* source);
