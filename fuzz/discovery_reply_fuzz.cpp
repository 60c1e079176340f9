// Any datagram, cut as the device finder cuts it, read as a discovery reply: the
// address is always the sender's, a reply that never names velmacor fills no
// field, and reading the same bytes again gives the same row.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "discovery/NetDevices.h"
#include "discovery/VelmacorDevice.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto length = static_cast<qsizetype>(std::min<size_t>(size, TfrmNetworkDevices::kReplyBufferSize));
  const QByteArray reply(reinterpret_cast<const char*>(data), length);
  const QString from = QStringLiteral("192.0.2.1");
  TVelmacorDevice device;
  device.Parse(reply, from);
  const QStringList columns = device.Columns();
  Check(columns.size() == 9 && columns[0] == from);
  const bool named = reply.contains("velmacor");
  for (qsizetype c = 1; c < columns.size(); ++c) Check(named || columns[c].isEmpty());

  TVelmacorDevice again;
  again.Parse(reply, from);
  Check(again.Columns() == columns);
  return 0;
}
