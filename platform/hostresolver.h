#pragma once
// Looks host names up without blocking the GUI thread. Tests install a resolver of
// their own, so that nothing ever resolves a real host name.
#include <QString>
#include <cstdint>
#include <functional>

class QObject;

class THostResolver {
 public:
  // found false: the name is unknown. address: the first IPv4 address, host byte order.
  using TDone = std::function<void(bool found, uint32_t address)>;

  virtual ~THostResolver() = default;
  // Starts the lookup and returns at once; done runs later on the calling thread,
  // and never once context is gone.
  virtual void LookupHost(const QString& name, QObject* context, TDone done) = 0;
};

// The resolver in force: the one installed last, or the system's (QHostInfo).
THostResolver& HostResolver();
// Installs a resolver (tests); nullptr goes back to the system's. Not owned.
void SetHostResolver(THostResolver* resolver);
