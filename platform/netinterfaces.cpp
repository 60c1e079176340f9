#include "platform/netinterfaces.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <cerrno>

#include "platform/seam.h"

namespace {

uint32_t HostOrder(const sockaddr* address) {
  return ntohl(reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr);
}

class TSystemInterfaces final : public TNetInterfaceSource {
 public:
  int Query(std::vector<TNetInterface>& list) override {
    list.clear();
    ifaddrs* all = nullptr;
    if (getifaddrs(&all) != 0) return errno;
    for (const ifaddrs* i = all; i; i = i->ifa_next) {
      if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET || !i->ifa_netmask) continue;
      list.push_back({HostOrder(i->ifa_addr), HostOrder(i->ifa_netmask), (i->ifa_flags & IFF_UP) != 0,
                      (i->ifa_flags & IFF_LOOPBACK) != 0});
    }
    freeifaddrs(all);
    return 0;
  }
};

using TInstalled = TSeam<TNetInterfaceSource, TSystemInterfaces>;

}  // namespace

TNetInterfaceSource& NetInterfaces() { return TInstalled::Get(); }

void SetNetInterfaces(TNetInterfaceSource* source) { TInstalled::Install(source); }
