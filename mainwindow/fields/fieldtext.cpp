#include "mainwindow/fields/fieldtext.h"

#include "protocol/tools.h"

QString OutOfRangeText(int min, int max, int decimals, QChar c) {
  return QStringLiteral("Out of Range: (%1 to %2)")
      .arg(FromLatin1(IntToFixedStr(min, decimals, c.toLatin1())), FromLatin1(IntToFixedStr(max, decimals, c.toLatin1())));
}

QString HostNameError(const QString& hostName) {
  if (hostName.isEmpty() || hostName.size() > 64)
    return QStringLiteral("Invalid length for hostname %1, should be between 1..64").arg(hostName.size());
  for (const QChar ch : hostName) {
    const bool ok = ch == u'-' || (ch >= u'0' && ch <= u'9') || (ch >= u'a' && ch <= u'z');
    if (!ok) return QStringLiteral("Character \"%1\" is not valid for a hostname, should be [0-9a-z\\-]").arg(ch);
  }
  return QString();
}
