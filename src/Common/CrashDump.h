#pragma once

#include <string>

// On a fatal signal (SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT) or an
// uncaught exception, writes "<program path>.dmp" (signal, faulting
// address, backtrace of the faulting thread, memory map) and ends the
// process quietly with exit code 1. A fault while the report is being
// written ends it with exit code 23 and no further report.
// useFilter false installs nothing. True when the handlers are installed.
bool InstallCrashHandler(bool useFilter);

// "<program path>.dmp".
std::string GetCrashDumpPath();

// Called while the report is being written, before the backtrace; lets a
// test fault inside the writer. Null removes it.
void SetCrashDumpWriteHook(void (*hook)());
