#pragma once
// The one way into the help engine. The engine is looked for on each call until
// it is found, then kept for the run.
#include <functional>
#include <memory>

#include "platform/htmlhelpapi.h"

// One engine call. Without an engine the call fails with -1: it beeps, and the
// first time in the run it says why. The calls that no user asked for fail
// quietly: close-all (an engine that never loaded has nothing open) and the
// window-type calls that prepare a request (the request itself reports).
int HtmlHelp(QWidget* window, const QString& file, unsigned command, THHData& data);

using THelpEngineLoader = std::function<std::unique_ptr<THelpEngine>()>;
// Replaces how the engine is looked for (tests); an empty loader goes back to the
// desktop's. Forgets the engine found so far and that the reason was shown.
void SetHelpEngineLoader(THelpEngineLoader loader);

// The message of a request that found no engine.
inline constexpr char kNoHelpEngineMessage[] =
    "Unable to load \"HHCtrl.ocx\" library !!!\r\nNo help viewer for \".chm\" help files is installed.";
