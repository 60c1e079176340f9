#include "platform/shellopen.h"

#include <QDesktopServices>

namespace {
TShellOpener& InstalledOpener() {
  static TShellOpener opener;
  return opener;
}
}  // namespace

bool ShellOpen(const QUrl& target) {
  if (const TShellOpener& opener = InstalledOpener()) return opener(target);
  return QDesktopServices::openUrl(target);
}

void SetShellOpener(TShellOpener opener) { InstalledOpener() = std::move(opener); }
