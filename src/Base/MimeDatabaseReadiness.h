#pragma once

namespace SF_SOFT_BASE {

// Whether the desktop's MIME database has been read whole in this run. A
// reader stuck on a file of the database (a FIFO in a MIME folder) holds
// the database's lock for good: until this is set, nothing that must not
// wait asks the database.
void MarkMimeDatabaseRead();
bool IsMimeDatabaseRead();

}  // namespace SF_SOFT_BASE
