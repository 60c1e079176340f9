#pragma once
// The termios settings that a line state stands for: raw mode, the rate (any rate,
// through BOTHER, when no standard constant names it), framing and flow control.
#include <asm/termbits.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "serial/SerDevice.h"

// Keeps what the line state does not decide (the device's other flags) from base.
// With markErrors, bytes received with an error and breaks are marked in the input.
termios2 BuildTermios(const termios2& base, const TSerLineState& state, bool markErrors = false);
// The line state that a termios stands for.
TSerLineState LineStateOf(const termios2& t);

// What a read does to the bytes it got.
struct TInputFilter {
  bool Marked;  // errors are marked in the input
  bool DiscardNull;
  bool ReplaceErrors;
  uint8_t ErrorChar;
};
// A marked input doubles a received 0xFF, gives 0xFF 0 X for a byte X received
// with a parity or framing error, and 0xFF 0 0 for a break; the kinds of error
// come from the driver's counters, so here the marks only leave the data. Works in
// place on the first count bytes and gives the number kept; a mark that the read
// cut off is kept in carry for the front of the next read.
size_t UnmarkInput(uint8_t* buffer, size_t count, const TInputFilter& filter, std::vector<uint8_t>& carry);
