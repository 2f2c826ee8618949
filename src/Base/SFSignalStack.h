#pragma once

namespace SF_SOFT_BASE {

// Gives the calling thread a stack of its own for signal handlers, so a
// fault caused by running out of stack can still be handled (the crash
// report). A thread that already has one keeps it; the stack made here is
// given back when the thread ends. Call it first thing in a thread's body.
// False when no stack could be set up.
bool SFEnsureSignalStack();

}  // namespace SF_SOFT_BASE
