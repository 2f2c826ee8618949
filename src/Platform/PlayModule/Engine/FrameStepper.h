#pragma once

#include "Platform/PlayModule/Engine/StreamDecoder.h"
#include "Platform/PlayModule/Output/PlanarPicture.h"

namespace PLAY_MODULE {

class CReversePlay;

// What stepping asks of the engine, on the play thread.
class IFrameStepHost {
public:
    virtual AVFramePtr NextFrame() = 0;
    virtual void PresentFrame(const AVFrame& frame) = 0;
    // Shows a copy of picture (a kept block stays intact).
    virtual void ShowPicture(const PlanarPicture& picture) = 0;
    virtual void ReachedEnd() = 0;

protected:
    ~IFrameStepHost() = default;
};

// Single steps while paused: forward the next decoded frame, backward the
// picture before the shown one, taken from reverse play's block.
class CFrameStepper {
public:
    CFrameStepper(IFrameStepHost& host, CReversePlay& reverse) : m_host(host), m_reverse(reverse) {}

    void StepForward();
    void StepBackward();
    // After a step back, while no other request waits: decodes the group
    // before the shown block, so that the next steps back find it decoded.
    void PrepareStepsBack();

private:
    IFrameStepHost& m_host;
    CReversePlay& m_reverse;
};

}  // namespace PLAY_MODULE
