#pragma once

#include <string>

// Notes, while on, which files are flushed to the disk (fsync) and which are
// renamed: the test program's own fsync and rename stand in for the C
// library's and pass every call on to it.
namespace SYNC_LOG {

void Start();
void Stop();
// True when a file was renamed to target while noting, and the file had been
// flushed under its name before that rename.
bool SyncedBeforeRenameTo(const std::string& target);

}  // namespace SYNC_LOG
