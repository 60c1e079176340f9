// The broadcast formula and the address box's interface items.
#include <gtest/gtest.h>

#include "discovery/NetAddress.h"
#include "tests/support/scripted_prompter.h"

namespace {

constexpr TNetInterface Interface(uint32_t address, uint32_t mask, bool up = true, bool loopback = false) {
  return {address, mask, up, loopback};
}

TEST(NetAddress, BroadcastIsTheSubnetWithEveryHostBitSet) {
  struct Case {
    uint32_t address;
    uint32_t mask;
    const char* broadcast;
  };
  const Case cases[] = {
      {0x7F000001, 0xFF000000, "127.255.255.255"},
      {0xC0A80117, 0xFFFFFF00, "192.168.1.255"},
      {0x0A141E28, 0xFFFFF000, "10.20.31.255"},  // 10.20.30.40/20
      {0xAC100505, 0xFFFFFFFC, "172.16.5.7"},    // /30
      {0x0A000001, 0xFFFFFFFF, "10.0.0.1"},      // /32: the address itself
      {0x0A000001, 0x00000000, "255.255.255.255"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DottedAddress(BroadcastAddress(c.address, c.mask)), QLatin1String(c.broadcast)) << c.broadcast;
}

TEST(NetAddress, TheListHoldsTheInterfacesThatAreUpAndNotTheLoopback) {
  const std::vector<TNetInterface> interfaces = {
      Interface(0x7F000001, 0xFF000000, true, true),   // the loopback
      Interface(0xC0A80117, 0xFFFFFF00),               // 192.168.1.23/24
      Interface(0x0A000005, 0xFF000000, false),        // down
      Interface(0x0A141E28, 0xFFFFF000),               // 10.20.30.40/20
  };
  EXPECT_EQ(InterfaceItems(interfaces),
            QStringList({"192.168.1.23 / 192.168.1.255", "10.20.30.40 / 10.20.31.255"}));
}

TEST(NetAddress, ATypedAddressIsSentFromTheFirstInterfaceWhoseSubnetHoldsIt) {
  const std::vector<TNetInterface> interfaces = {
      Interface(0x0A000005, 0xFF000000, false),        // 10.0.0.5/8, down
      Interface(0xC0A80117, 0xFFFFFF00),               // 192.168.1.23/24
      Interface(0xC0A80001, 0xFFFF0000),               // 192.168.0.1/16, also holds 192.168.1.x
      Interface(0x7F000001, 0xFF000000, true, true),   // the loopback counts here
  };
  struct Case {
    const char* typed;
    const char* from;
  };
  const Case cases[] = {
      {"192.168.1.200", "192.168.1.23"},  // the first match, not the widest
      {"192.168.7.7", "192.168.0.1"},
      {"127.255.255.255", "127.0.0.1"},
      {"10.1.2.3", "0.0.0.0"},            // only a down interface holds it
      {"172.16.0.1", "0.0.0.0"},
      {"indicator.example", "0.0.0.0"},   // a host name
  };
  for (const Case& c : cases)
    EXPECT_EQ(InterfaceAddressFor(interfaces, QLatin1String(c.typed)), QLatin1String(c.from)) << c.typed;
}

}  // namespace
