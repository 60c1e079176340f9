#pragma once
// Lets the GUI thread handle what is already waiting for it (events, deferred
// calls, window-system input) without waiting for more, from inside a handler that
// must not return yet.
void SafeYield();
