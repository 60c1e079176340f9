// Qt hands memory over between threads through futexes that the thread
// sanitizer cannot see: its own pooled threads (image scaling and conversion
// while a window paints), and the calls and events that our worker threads queue
// for the GUI thread, which Qt allocates on the worker and frees on the GUI
// thread. Qt is not instrumented, so only accesses from our instrumented code
// are judged: our own threads and windows are still checked in full.
// A test forks only to run a system program (`ip` for its namespace's veth pair,
// the probe that opens a port as another user), whose child starts that program at
// once: the sanitizer's refusal of a child of a threaded process would end the
// test before the child gets there.
extern "C" const char* __tsan_default_options();
extern "C" const char* __tsan_default_options() { return "ignore_noninstrumented_modules=1:die_after_fork=0"; }
