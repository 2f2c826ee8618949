#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Temporary files that ended runs of the program left behind. The program
// names them "<name>.~lumivex-XXXXXX" beside the file being written (an AVI
// clip's library temporary adds a second such suffix) and holds a lock on
// each while it writes it. Only such names are taken, only unheld ones (a
// running instance's, of this or another program folder, are left alone),
// and only the user's own. In the program's own folders, which hold no file
// of the user's, the names of earlier versions go too: "<name>.~XXXXXX" and
// "<name>.XXXXXX".
class CLeftTemporaries {
public:
    // What is done with the temporaries of the files one kind matches.
    struct Kind {
        std::vector<std::string> names;       // whole names of the files
        std::vector<std::string> extensions;  // or their endings
        bool earlierForms = false;            // the names of earlier versions count too
        bool keepsFootage = false;            // one that is not empty is kept
        // Only files named as a picture series names its pictures,
        // "<YYYYMMDDhhmmss>[(n)]<extension>".
        bool seriesNamesOnly = false;
        // The bytes of a kept file that are whole: it is cut there (0: it goes).
        std::function<std::uint64_t(const std::string& path)> wholeEnd = {};
    };

    // Handles, in folder, the temporaries of the files kind matches: one
    // that keepsFootage and holds bytes is kept as a clip cut short,
    // "<name>_incomplete<extension>" (numbered when taken); the others are
    // removed. How many were handled. Folders, links and every other name
    // are left alone.
    static int CleanIn(const std::string& folder, const Kind& kind, std::vector<std::string>* kept = nullptr);
    // The program's own, in its folders: settings, layouts, index files,
    // pictures (in the channel folders of picture exports only those named
    // as a series names them: a folder of digits may be the user's) and clips
    // (the ".kvx_" of a recording cut short by a crash is a recording, not a
    // temporary).
    // wholeEnd gives the end of a kept AVI clip's last whole packet (it may
    // cut the clip there and mend its header itself); kept gets the names
    // the clips were kept under.
    static int CleanProgramTemporaries(const std::wstring& snapFolder, const std::wstring& videoFolder,
                                       std::function<std::uint64_t(const std::string&)> wholeEnd = {},
                                       std::vector<std::string>* kept = nullptr);

    // True for "<base>" followed by one temporary suffix or more (of earlier
    // versions too, with earlierForms); base is set to the rest.
    static bool IsTemporaryOf(const std::string& name, std::string& base, bool earlierForms);
};
