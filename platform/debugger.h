#pragma once
// Whether a debugger holds this program. The help bridge warns before it opens a
// help window under one. Tests install an answer of their own.
#include <functional>

using TDebuggerCheck = std::function<bool()>;

// True while another process traces this one.
bool DebuggerAttached();
// Replaces the check (tests); an empty check goes back to the system's.
void SetDebuggerCheck(TDebuggerCheck check);
