#include "platform/desktopapps.h"

#include <QMimeDatabase>
#include <QStandardPaths>
#include <QStringList>

#include "platform/inifile.h"

namespace {

// The association lists, and the sections of them that name programs for a type.
struct TAssociationList {
  QStandardPaths::StandardLocation location;
  const char* fileName;
  QStringList sections;
};

bool Associated(const QStringList& typeNames) {
  const TAssociationList lists[] = {
      {QStandardPaths::ApplicationsLocation, "mimeinfo.cache", {QStringLiteral("MIME Cache")}},
      {QStandardPaths::ApplicationsLocation, "mimeapps.list",
       {QStringLiteral("Default Applications"), QStringLiteral("Added Associations")}},
      {QStandardPaths::GenericConfigLocation, "mimeapps.list",
       {QStringLiteral("Default Applications"), QStringLiteral("Added Associations")}},
  };
  for (const auto& list : lists)
    for (const QString& dir : QStandardPaths::standardLocations(list.location)) {
      const TMemIniFile file(dir + QLatin1Char('/') + QLatin1String(list.fileName));
      for (const QString& section : list.sections)
        for (const QString& type : typeNames)
          if (!file.ReadString(section, type, QString()).isEmpty()) return true;
    }
  return false;
}

}  // namespace

bool DesktopHasOpenerFor(const QString& fileName) {
  const QMimeType type = QMimeDatabase().mimeTypeForFile(fileName, QMimeDatabase::MatchExtension);
  if (!type.isValid() || type.isDefault()) return false;
  return Associated(QStringList{type.name()} + type.aliases());
}
