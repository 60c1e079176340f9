// Qt hands memory over between threads through futexes that the thread
// sanitizer cannot see: its own pooled threads (image scaling and conversion
// while a window paints), and the calls and events that our worker threads queue
// for the GUI thread, which Qt allocates on the worker and frees on the GUI
// thread. Qt is not instrumented, so only accesses from our instrumented code
// are judged: our own threads and windows are still checked in full.
extern "C" const char* __tsan_default_options();
extern "C" const char* __tsan_default_options() { return "ignore_noninstrumented_modules=1"; }
