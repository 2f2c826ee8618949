#pragma once

// The playback libraries (FFmpeg, OpenSSL's crypto, PulseAudio) and the ones
// they pull in are not loaded with the program: the program holds a jump stub
// for each of their functions it calls (generated at build time), and they
// are loaded on a background thread right after start, or by the first call
// of one of those functions, whichever comes first. A call made before they
// are loaded waits for the load.
namespace DeferredLibraries {

// Starts loading the libraries on a background thread (an exit waits for
// it); does nothing when the program links them directly.
void StartLoading();

}  // namespace DeferredLibraries
