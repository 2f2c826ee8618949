#pragma once

#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "Base/SFEvent.h"

// The token sent with a handed-over frame: when its last reference goes, the
// play object's frame event is set (if the play object still exists). It may
// also keep the frame's memory alive for as long as a receiver holds it.
class SynSmartPtr {
public:
    explicit SynSmartPtr(const boost::shared_ptr<SF_SOFT_BASE::CSFEvent>& event,
                         boost::shared_ptr<void> keepAlive = {})
        : m_event(event), m_keepAlive(std::move(keepAlive))
    {
    }
    ~SynSmartPtr();
    SynSmartPtr(const SynSmartPtr&) = delete;
    SynSmartPtr& operator=(const SynSmartPtr&) = delete;

    // What the token keeps alive (the frame's memory), for a receiver that
    // keeps the frame beyond the token.
    const boost::shared_ptr<void>& KeptAlive() const { return m_keepAlive; }

private:
    boost::weak_ptr<SF_SOFT_BASE::CSFEvent> m_event;
    boost::shared_ptr<void> m_keepAlive;
};
