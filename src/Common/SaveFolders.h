#pragma once

#include <cstddef>
#include <string>
#include <vector>

// 0 when the folder (its last part made when missing) can be written to,
// else why not (an errno: ENOTDIR for a file in its place, EACCES, EROFS).
int FolderWriteError(const std::wstring& folder);
// "<folder>: <reason>" when the folder cannot be written to, else (and for
// an empty name) empty.
std::wstring DescribeFolderWriteError(const std::wstring& folder);
// A failure text followed by why the folder it wrote in cannot be written
// to, when it cannot.
std::wstring WithFolderProblem(const std::wstring& failure, const std::wstring& folder);

// The folders beside the program that settings ("Config") and index files
// ("Index") are saved in, made when missing, that cannot be written to: no
// folder there (a plain file, say), or one the user may not write in (another
// user's, a read-only volume).
std::vector<std::wstring> FindUnwritableSaveFolders(const std::wstring& programFolder);

// Tells the user that settings and indexes cannot be saved in the folder:
// in the notification pop-up (through the event loop, so any thread may
// call) and on the error output; once per folder and run.
void TellCannotSaveIn(const std::wstring& folder);
// The same for the folders snapshots and clips go in, with the reason.
void TellAboutOutputFolders(const std::vector<std::wstring>& folders);
// Tells the user (as TellCannotSaveIn) that a file beside the program could
// not be used, and why (error: an errno): "<failure> <file>: <reason>", or
// the folder's notice when the folder itself cannot be written to. Once per
// file and run.
void TellFileProblem(const std::wstring& failure, const std::wstring& file, int error);

// Tells the user (as TellCannotSaveIn) when the settings file in the folder,
// which this user may write in, was saved by another user: a shared install
// whose users overwrite each other's settings at exit. True when told.
bool TellWhenSettingsAreShared(const std::wstring& configFolder);

// On the error output: the settings file could not be saved, and why (the
// errno of the failed step: a full disk, no right to write, ...). Returns
// the text written.
std::wstring LogCannotSave(const std::wstring& file, int error);
// On the error output: the oldest remembered folders left out of the
// settings file, as all of them would not fit. Returns the text written.
std::wstring LogOpenedPathsLeftOut(std::size_t count);
