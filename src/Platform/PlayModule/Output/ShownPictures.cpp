#include "Platform/PlayModule/Output/ShownPictures.h"

namespace PLAY_MODULE {

CShownPictures::CShownPictures() : m_shown(std::make_shared<PlanarPicture>())
{
    m_pictures.push_back(m_shown);
}

// Held by no receiver: by the list alone (the shown one by m_shown too).
bool CShownPictures::IsFree(const std::shared_ptr<PlanarPicture>& picture) const
{
    return picture.use_count() == (picture == m_shown ? 2 : 1);
}

PlanarPicture& CShownPictures::Spare(bool besideShown)
{
    for (std::size_t i = 0; i < m_pictures.size(); ++i) {
        if (IsFree(m_pictures[i]) && !(besideShown && m_pictures[i] == m_shown)) {
            // The last receiver's reads come before our writes: dropping a
            // copy acquires the count that receiver released (a fence would
            // too, but the thread sanitizer sees none).
            std::shared_ptr<PlanarPicture>(m_pictures[i]).reset();
            m_spare = i;
            return *m_pictures[i];
        }
    }
    if (m_pictures.size() < kMaxKept) {
        m_pictures.push_back(std::make_shared<PlanarPicture>());
        m_spare = m_pictures.size() - 1;
        return *m_pictures.back();
    }
    // All held: the receivers keep theirs, a new one takes a place.
    m_spare = m_pictures[0] == m_shown ? 1 : 0;
    m_pictures[m_spare] = std::make_shared<PlanarPicture>();
    return *m_pictures[m_spare];
}

void CShownPictures::ShowSpare()
{
    m_shown = m_pictures[m_spare];
}

}  // namespace PLAY_MODULE
