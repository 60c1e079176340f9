#include "platform/apphelp.h"

#include <QApplication>
#include <QVariant>
#include <QWidget>

namespace {
QString g_helpFile;
}  // namespace

QString ApplicationHelpFile() { return g_helpFile; }

void SetApplicationHelpFile(const QString& file) { g_helpFile = file; }

THelpEvent& ApplicationHelpHandler() {
  static THelpEvent handler;
  return handler;
}

bool ApplicationHelpCommand(unsigned command, const THelpData& data) {
  bool callHelp = true;
  bool result = false;
  // A copy, so that a handler which hands the application's handler on while it
  // runs does not destroy itself.
  if (const THelpEvent handler = ApplicationHelpHandler()) result = handler(command, data, callHelp);
  if (callHelp) result = WinHelp(g_helpFile, command, data);
  return result;
}

QString ActiveFormHelpFile() {
  const QWidget* active = QApplication::activeWindow();
  return active ? active->property("HelpFile").toString() : QString();
}

bool WinHelp(const QString&, unsigned, const THelpData&) { return false; }
