// Qt's own pooled threads (image scaling and conversion while a window
// paints) hand memory over through futexes that the thread sanitizer cannot
// see, and Qt is not instrumented. Only accesses from our instrumented code are
// judged, so our own threads and windows are still checked in full.
extern "C" const char* __tsan_default_options();
extern "C" const char* __tsan_default_options() { return "ignore_noninstrumented_modules=1"; }
