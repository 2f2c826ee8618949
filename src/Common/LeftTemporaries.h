#pragma once

#include <string>
#include <vector>

// Temporary files that ended runs of the program left behind: names made by
// mkstemp beside the file being written, "<name>.~XXXXXX" (six letters or
// digits; an AVI clip's library temporary adds a second such suffix), or
// "<name>.XXXXXX" as earlier versions made them.
// Remove them only while no other instance runs (the single-instance lock is
// held): a running instance may be writing them.
class CLeftTemporaries {
public:
    // Removes, in folder, the temporaries of files named one of names or
    // ending in one of extensions; how many were removed. Folders, links and
    // every other name are left alone. unmarkedToo: also the unmarked names
    // of earlier versions (only where no file of the user's can be).
    static int RemoveIn(const std::string& folder, const std::vector<std::string>& names,
                        const std::vector<std::string>& extensions, bool unmarkedToo);
    // The program's own, in its folders: settings, layouts, index files,
    // snapshots and recordings (the ".kvx_" of a recording cut short by a
    // crash is a recording, not a temporary).
    static int RemoveProgramTemporaries(const std::wstring& snapFolder, const std::wstring& videoFolder);

    // True for "<base>.~XXXXXX" (or, unmarkedToo, "<base>.XXXXXX"; one
    // suffix or more); base is set to the rest.
    static bool IsTemporaryOf(const std::string& name, std::string& base, bool unmarkedToo);
};
