// libx265 keeps some encoder memory to the end of the process; that is not
// ours to fix.
extern "C" const char* __lsan_default_suppressions() { return "leak:libx265.so\n"; }
