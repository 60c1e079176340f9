// Reading a discovery reply into the device finder's columns.
#include <gtest/gtest.h>

#include "discovery/VelmacorDevice.h"
#include "tests/support/scripted_prompter.h"

namespace {

const QString kFrom = QStringLiteral("10.0.0.7");

QStringList Read(const QByteArray& reply) {
  TVelmacorDevice device;
  device.Parse(reply, kFrom);
  return device.Columns();
}

// The columns: IP address, then class, name, serial number, version, custom
// identifier, MAC address, TCP port and host name.
QStringList Row(const QStringList& fields) {
  QStringList row{kFrom};
  row << fields;
  while (row.size() < 9) row << QString();
  return row;
}

TEST(VelmacorDevice, ReadsTheNamedElementsBelowADeviceBelowVelmacor) {
  struct Case {
    const char* name;
    QByteArray reply;
    QStringList row;
  };
  const Case cases[] = {
      {"every field, in the grid's column order",
       "<?xml version=\"1.0\"?><velmacor><device><class>W830</class><name>Bay 3</name>"
       "<serialnumber>SN42</serialnumber><version>2.10</version><customid>Silo</customid>"
       "<macaddress>02:00:00:00:08:30</macaddress><tcpport>2222</tcpport><hostname>bay3</hostname>"
       "</device></velmacor>",
       Row({"W830", "Bay 3", "SN42", "2.10", "Silo", "02:00:00:00:08:30", "2222", "bay3"})},
      {"not XML: the address only", "BlahBlah", Row({})},
      {"cut short: the address only", "<velmacor><device><name>Bay 3</name>", Row({})},
      {"empty: the address only", "", Row({})},
      {"found at any depth", "<r><velmacor><x><device><y><z><name>Deep</name></z></y></device></x></velmacor></r>",
       Row({"", "Deep"})},
      {"the last of a name wins", "<velmacor><device><name>First</name><name>Second</name></device></velmacor>",
       Row({"", "Second"})},
      {"names are matched with their case",
       "<velmacor><device><Name>Upper</Name><NAME>All</NAME><class>W840</class></device></velmacor>",
       Row({"W840"})},
      {"outside a device, or a device outside velmacor: passed over",
       "<root><name>Loose</name><device><name>Stray</name></device><velmacor><name>Top</name></velmacor></root>",
       Row({})},
      {"a device above velmacor does not count",
       "<device><velmacor><name>Inverted</name></velmacor></device>", Row({})},
      {"the sender is the address, never the reply's", "<velmacor><device><ipaddress>1.2.3.4</ipaddress></device></velmacor>",
       Row({})},
      {"text of nested elements is joined", "<velmacor><device><name>Bay <b>3</b></name></device></velmacor>",
       Row({"", "Bay 3"})},
      {"bytes are Latin-1 characters, whatever the declaration says",
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?><velmacor><device><name>Caf\xE9 \xB5</name></device></velmacor>",
       Row({"", QString::fromLatin1("Caf\xE9 \xB5")})},
  };
  for (const Case& c : cases) EXPECT_EQ(Read(c.reply), c.row) << c.name;
}

}  // namespace
