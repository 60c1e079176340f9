// Any bytes read as an ini file, written back and read again must give the same
// sections, keys and values, and the written form must be stable.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/inifile.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

void CheckSameValues(const TMemIniFile& a, const TMemIniFile& b) {
  Check(a.ReadSections() == b.ReadSections());
  for (const QString& section : a.ReadSections()) {
    Check(a.ReadSection(section) == b.ReadSection(section));
    for (const QString& key : a.ReadSection(section))
      Check(a.ReadString(section, key, QStringLiteral("\x01missing")) ==
            b.ReadString(section, key, QStringLiteral("\x02missing")));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemIniFile first;
  first.SetBytes(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
  const QByteArray written = first.Bytes();

  TMemIniFile second;
  second.SetBytes(written);
  CheckSameValues(first, second);
  Check(second.Bytes() == written);

  // A value the program writes is read back as written, and every other value stays.
  const QString value = QStringLiteral("C:\\vNQ3752.log,\"x\"");
  second.WriteString(QStringLiteral("General"), QStringLiteral("CommsLoggingFile"), value);
  TMemIniFile third;
  third.SetBytes(second.Bytes());
  Check(third.ReadString(QStringLiteral("general"), QStringLiteral("commsloggingfile"), QString()) == value);
  for (const QString& section : first.ReadSections())
    for (const QString& key : first.ReadSection(section))
      if (section.compare(QStringLiteral("General"), Qt::CaseInsensitive) != 0 ||
          key.compare(QStringLiteral("CommsLoggingFile"), Qt::CaseInsensitive) != 0)
        Check(first.ReadString(section, key, QString()) == third.ReadString(section, key, QString()));
  return 0;
}
