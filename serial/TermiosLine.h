#pragma once
// The termios settings that a line state stands for: raw mode, the rate (any rate,
// through BOTHER, when no standard constant names it), framing and flow control.
#include <asm/termbits.h>

#include "serial/SerDevice.h"

// Keeps what the line state does not decide (the device's other flags) from base.
// With markErrors, bytes received with an error and breaks are marked in the input.
termios2 BuildTermios(const termios2& base, const TSerLineState& state, bool markErrors = false);
// The line state that a termios stands for.
TSerLineState LineStateOf(const termios2& t);
