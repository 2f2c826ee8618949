// libx265 keeps some encoder memory to the end of the process; that is not
// ours to fix.
extern "C" const char* __lsan_default_suppressions() { return "leak:libx265.so\n"; }

// The H.265 encoder's thread pool synchronises with locks of its own that
// the thread sanitizer does not see (the library is not instrumented).
extern "C" const char* __tsan_default_suppressions() { return "race:libx265.so\n"; }
