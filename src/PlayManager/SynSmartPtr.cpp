#include "PlayManager/SynSmartPtr.h"

SynSmartPtr::~SynSmartPtr()
{
    m_keepAlive.reset();
    if (boost::shared_ptr<SF_SOFT_BASE::CSFEvent> event = m_event.lock())
        event->Set();
}
