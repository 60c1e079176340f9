#pragma once
// The application's help, as the programs' help bridge expects to find it: a help
// file, one handler that every help request goes through, and WinHelp-style
// requests (a command and its data). A handler may take a request over by
// clearing callHelp; otherwise the request goes on to WinHelp.
#include <QString>
#include <cstdint>
#include <functional>
#include <variant>

enum THelpCommand : unsigned {
  HELP_CONTEXT = 1,
  HELP_QUIT = 2,
  HELP_CONTENTS = 3,
  HELP_CONTEXTPOPUP = 8,
  HELP_FINDER = 11,
  HELP_SETPOPUP_POS = 13,
  HELP_TAB = 15,
  HELP_KEY = 0x101,
  HELP_PARTIALKEY = 0x105,
};

// A request's data: a number (a context number, a position, a page), or the
// keyword of HELP_KEY and HELP_PARTIALKEY.
using THelpData = std::variant<std::int32_t, QString>;

using THelpEvent = std::function<bool(unsigned command, const THelpData& data, bool& callHelp)>;

QString ApplicationHelpFile();
void SetApplicationHelpFile(const QString& file);

// The application's help handler; whoever takes it over keeps the one it replaced.
THelpEvent& ApplicationHelpHandler();

// Hands one request to the handler, then to WinHelp unless the handler took it.
// True when the request was served.
bool ApplicationHelpCommand(unsigned command, const THelpData& data);

// The help file of the active window: its "HelpFile" property, or empty.
QString ActiveFormHelpFile();

// WinHelp files cannot be shown on this platform: the call always fails.
bool WinHelp(const QString& file, unsigned command, const THelpData& data);
