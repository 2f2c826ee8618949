#pragma once

#include "Platform/PlayModule/Source/KeyFrameIndex.h"

#include <memory>
#include <mutex>

namespace PLAY_MODULE {

// The key-frame index of one opened recording, shared by the module (which
// hands it out) and the source (which seeks with it). Thread-safe.
class CSharedKeyFrameIndex {
public:
    std::shared_ptr<const CKeyFrameIndex> Get() const
    {
        std::lock_guard lock(m_mutex);
        return m_index;
    }
    void Set(std::shared_ptr<const CKeyFrameIndex> index)
    {
        std::lock_guard lock(m_mutex);
        m_index = std::move(index);
    }

private:
    mutable std::mutex m_mutex;
    std::shared_ptr<const CKeyFrameIndex> m_index;
};

}  // namespace PLAY_MODULE
