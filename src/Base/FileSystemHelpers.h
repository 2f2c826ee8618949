#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace SF_SOFT_BASE {

// Bytes available to the caller on the file system that holds path (or, when
// path does not exist yet, its nearest existing parent). False when unknown.
bool QueryAvailableSpace(const std::string& path, std::uint64_t* bytes);
// The same; 0 when unknown.
std::uint64_t GetDriveFreeSpace(const char* path);

// Creates every missing folder of a '/'-separated path (the last part only
// when it ends in '/'). 0 when the path exists or everything was created,
// -1 when nothing was done or a creation failed.
int CreateDirectoryRecursive(const std::wstring& path);

// The folder as an absolute path with '/' separators ending in '/'. A
// leading '\\' is dropped (the rest is then taken relative to the current
// folder); a leading '/' marks an absolute path and stays.
std::wstring MakeAbsoluteDirPath(const std::wstring& path);

// True when the path names a regular file or a link to one (never a FIFO,
// socket, device or folder).
bool IsRegularFile(const std::string& path);
// True when nothing is at path (or it cannot be reached), or a regular file
// (or a link to one) of at most maxBytes: a file a library may open and read
// whole without blocking on it (a FIFO) or reading without end (a link to
// /dev/zero, a huge file).
bool IsAbsentOrSmallRegularFile(const std::string& path, std::uintmax_t maxBytes);
// Opens a regular file (or a link to one) for reading without ever blocking:
// a FIFO or device is opened non-blocking, seen and closed again. -1 for
// anything else (errno ENXIO when the path is not a regular file).
int OpenRegularFileForReading(const std::string& path);
// Reads a whole regular file, opened as above, into bytes. False (bytes
// then empty) for anything else, a read error or more than maxBytes.
bool ReadRegularFile(const std::string& path, std::string& bytes, std::size_t maxBytes = SIZE_MAX);

// The path a chain of symbolic links at path ends in (path itself when it
// is no link, or the chain cannot be read or loops): the file a write
// through the link is to replace. The target need not exist.
std::string FollowLinks(const std::string& path);

// Writes a wide text to the debug log.
void DebugLogWide(const std::wstring& text);

}  // namespace SF_SOFT_BASE
