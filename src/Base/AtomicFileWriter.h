#pragma once

#include <cstddef>
#include <string>

#include "Base/HeldTemporary.h"

namespace SF_SOFT_BASE {

// Writes a file through a temporary file in the same folder that is renamed
// over the target on Commit, so readers see the old or the new content,
// never a part. Dropping the writer without Commit removes the temporary.
class CAtomicFileWriter {
public:
    // Temporaries are named "<target>.~lumivex-XXXXXX" and held (locked)
    // while they are written.
    static constexpr std::size_t kTemporarySuffixSize = CHeldTemporary::kSuffixSize;

    explicit CAtomicFileWriter(std::string targetPath);
    ~CAtomicFileWriter();
    CAtomicFileWriter(const CAtomicFileWriter&) = delete;
    CAtomicFileWriter& operator=(const CAtomicFileWriter&) = delete;

    // Creates the temporary file; false when the folder cannot take it.
    bool Open();
    bool Write(const void* data, std::size_t size);
    // Flushes and renames into place; false when any step failed.
    bool Commit();
    // As Commit, but never over a file: a name in use gives the next free
    // one (see RenameToFreeName); the name got, empty on failure.
    std::string CommitToFreeName();
    void Discard();
    // The errno of the step that failed (ENOSPC for a full disk); 0 while
    // none did.
    int Error() const { return m_error; }

    // One-shot form of the above; *error (when given) gets Error().
    static bool WriteWhole(const std::string& targetPath, const std::string& bytes, int* error = nullptr);
    // Flushes a file's content to the disk; false when that failed.
    static bool SyncFile(const std::string& path);
    // Renames from to wanted, or to "<wanted stem>(n)<extension>" (n from 1)
    // when that name is taken, never replacing a file; the name it got,
    // empty when none could be had.
    static std::string RenameToFreeName(const std::string& from, const std::string& wanted);
    // "<name>_incomplete<extension>": the name the part of a file cut short
    // is kept under.
    static std::string IncompleteName(const std::string& target);

private:
    std::string m_target;
    CHeldTemporary m_temp;
    bool m_failed = false;
    int m_error = 0;
};

}  // namespace SF_SOFT_BASE
