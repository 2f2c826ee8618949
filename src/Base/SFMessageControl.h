#pragma once

namespace LumivexBase {

// Drives a message loop on its thread.
class CSFMessageControl {
public:
    // How a driver reaches the loop it drives.
    class CDelegate {
    public:
        virtual ~CDelegate() = default;
        // Run at most one task of the queue; 1 if one ran.
        virtual int RunFirstQueue() = 0;
        virtual int RunSecondQueue() = 0;
        virtual bool IsEmpty() = 0;
    };

    virtual ~CSFMessageControl() = default;
    virtual void Run() = 0;
    // Wakes the loop after a task was queued; callable from any thread.
    virtual void Post() = 0;
    virtual void Stop() = 0;
};

}  // namespace LumivexBase
