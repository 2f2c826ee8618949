#include "Platform/PlayModule/Engine/FrameStepper.h"

#include "Platform/PlayModule/Engine/ReversePlay.h"

namespace PLAY_MODULE {

void CFrameStepper::StepForward()
{
    if (AVFramePtr frame = m_host.NextFrame())
        m_host.PresentFrame(*frame);
    else
        m_host.ReachedEnd();
}

void CFrameStepper::StepBackward()
{
    if (const PlanarPicture* picture = m_reverse.PreviousPicture())
        m_host.ShowPicture(*picture);
}

void CFrameStepper::PrepareStepsBack()
{
    m_reverse.DecodeBlockAhead();
}

}  // namespace PLAY_MODULE
