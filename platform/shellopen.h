#pragma once
// Opening a file or an address with the desktop's own program for it. Tests
// install a recorder instead, so that nothing outside the test is started.
#include <QUrl>
#include <functional>

using TShellOpener = std::function<bool(const QUrl& target)>;

// True when the desktop took the target.
bool ShellOpen(const QUrl& target);
// Replaces the desktop's opener (tests); an empty opener goes back to it.
void SetShellOpener(TShellOpener opener);
