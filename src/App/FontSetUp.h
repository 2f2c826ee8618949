#pragma once

#include <thread>

// Reads the system's font configuration on a background thread while Qt
// starts, so that the first text the main window lays out finds it read
// (it takes as long as the rest of the start-up of Qt). Qt reads the same
// configuration; whichever comes second takes it as it is. Without the font
// library loaded nothing happens. The destructor waits for the thread.
class CFontSetUp {
public:
    CFontSetUp();
    ~CFontSetUp();
    CFontSetUp(const CFontSetUp&) = delete;
    CFontSetUp& operator=(const CFontSetUp&) = delete;

private:
    std::thread m_thread;
};
