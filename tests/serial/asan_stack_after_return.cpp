// A port calls its handlers long after they were set: on the GUI thread while
// events are delivered, from its own threads, and when it is freed while open.
// A handler that writes to a test's local which has gone out of scope by then
// writes into whatever stack frame lies there now, which optimised builds turn
// into crashes far from the cause. The AddressSanitizer build catches such a
// write at once only when returned frames are kept apart, so this program asks
// for that.
extern "C" const char* __asan_default_options();
extern "C" const char* __asan_default_options() { return "detect_stack_use_after_return=1"; }
