#pragma once

#include <string>

#include <boost/shared_ptr.hpp>

class CPlayManager;
class IPlayObjectListener;

// A page keeps a recording it does not show as its record only: a handle of
// NewPlayHandle, no play object, decoder or thread. These open and close the
// play object behind such a handle.

// Opens path on a new play object under handle (null: a new handle), with
// the index stored for it; the handle, or null when it did not open (nothing
// is left behind).
void* OpenRecording(CPlayManager& manager, int playType, void* handle,
                    const boost::shared_ptr<IPlayObjectListener>& listener, const std::wstring& path);
// Closes the play object of handle; the handle can be opened again.
void CloseRecording(CPlayManager& manager, void* handle);
