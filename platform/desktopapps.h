#pragma once
// What the desktop can open: the file-type associations that desktop entries
// declare (mimeinfo.cache, mimeapps.list in the XDG data and config folders).
#include <QString>

// True when some desktop program is associated with the type of fileName, found
// by its extension under the type's name or one of its aliases.
bool DesktopHasOpenerFor(const QString& fileName);
