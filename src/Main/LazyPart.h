#pragma once

#include <functional>
#include <utility>
#include <vector>

#include <boost/shared_ptr.hpp>

// A part of the shell (a page, a dialog) that is built when first needed:
// when shown, asked about or told to act. Work posted before then (files
// handed to a page) is held and given to it, in order, as soon as it is built.
template <class Page>
class CLazyPart {
public:
    using Factory = std::function<boost::shared_ptr<Page>()>;
    using Work = std::function<void(Page&)>;

    void SetFactory(Factory factory) { m_factory = std::move(factory); }

    // The page, built first if need be; null when it cannot be built (or
    // while it is being built).
    boost::shared_ptr<Page> Get() const
    {
        if (!m_page && m_factory && !m_building)
            Build();
        return m_page;
    }
    // The page when it was built, else null.
    const boost::shared_ptr<Page>& Built() const { return m_page; }
    // The page once it exists or holds work (built first if need be), else
    // null: a page never touched has nothing to answer for.
    boost::shared_ptr<Page> IfTouched() const
    {
        return !m_page && m_held.empty() ? nullptr : Get();
    }

    // Gives the work to the page now when it exists, else when it is built.
    void Post(Work work)
    {
        if (m_page)
            work(*m_page);
        else
            m_held.push_back(std::move(work));
    }

private:
    void Build() const
    {
        m_building = true;
        boost::shared_ptr<Page> page = m_factory();
        m_building = false;
        m_page = page;
        std::vector<Work> held;
        held.swap(m_held);
        if (m_page)
            for (Work& work : held)
                work(*m_page);
    }

    Factory m_factory;
    mutable boost::shared_ptr<Page> m_page;
    mutable std::vector<Work> m_held;
    mutable bool m_building = false;
};
