#pragma once

#include <memory>
#include <vector>

#include "Platform/PlayModule/Output/PlanarPicture.h"

namespace PLAY_MODULE {

// The shown picture and its spares, for one play thread. A receiver of the
// frame callback may keep the shown picture's buffer; the next picture is
// made in one that no receiver holds (the shown one itself when none holds
// it), so no frame is copied to be handed on.
class CShownPictures {
public:
    CShownPictures();

    // A picture no receiver holds, to make the next in: the shown one too
    // (the caller then holds the lock that guards reading it), unless the
    // next is made ahead of its time, while the shown one stays readable.
    PlanarPicture& Spare(bool besideShown = false);
    // The picture Spare gave last becomes the shown one.
    void ShowSpare();
    const std::shared_ptr<PlanarPicture>& Shown() const { return m_shown; }
    std::size_t Count() const { return m_pictures.size(); }

private:
    static constexpr std::size_t kMaxKept = 4;
    bool IsFree(const std::shared_ptr<PlanarPicture>& picture) const;

    std::vector<std::shared_ptr<PlanarPicture>> m_pictures;
    std::shared_ptr<PlanarPicture> m_shown;
    std::size_t m_spare = 0;
};

}  // namespace PLAY_MODULE
