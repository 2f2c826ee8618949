#pragma once

#include <string>
#include <vector>

// The folders beside the program that settings ("Config") and index files
// ("Index") are saved in, made when missing, that cannot be written to: no
// folder there (a plain file, say), or one the user may not write in (another
// user's, a read-only volume).
std::vector<std::wstring> FindUnwritableSaveFolders(const std::wstring& programFolder);

// Tells the user that settings and indexes cannot be saved in the folder:
// in the notification pop-up (through the event loop, so any thread may
// call) and on the error output; once per folder and run.
void TellCannotSaveIn(const std::wstring& folder);
// The same on the error output only (at exit, when the pop-up is gone).
void LogCannotSaveIn(const std::wstring& folder);
