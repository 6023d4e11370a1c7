#include "TQorIdleOutlet.h"

#include "TEntertainer.h"

TQorIdleOutlet::~TQorIdleOutlet() { SetOnIdle(nullptr); }

void TQorIdleOutlet::SetOnIdle(TIdleEvent handler)
{
    const bool wasAssigned = static_cast<bool>(m_onIdle);
    m_onIdle = std::move(handler);
    const bool assigned = static_cast<bool>(m_onIdle);
    if (assigned) {
        m_skipCount = kFreshSkipCount;
        if (m_wantsMore && m_registered)
            TEntertainer::instance().changeWantingCount(-1);
        m_wantsMore = false;
    }
    if (assigned == wasAssigned)
        return;
    if (assigned)
        TEntertainer::instance().registerOutlet(this);
    else if (m_registered)
        TEntertainer::instance().unregisterOutlet(this);
}

void TQorIdleOutlet::SetPriority(int priority)
{
    if (priority < 0 || priority > kMaxPriority)
        return;
    const int old = m_priority;
    m_priority = priority;
    if (m_registered)
        TEntertainer::instance().changeEveryTimeCount((priority == 0 ? 1 : 0) - (old == 0 ? 1 : 0));
}

void TQorIdleOutlet::SetDelay(int delay)
{
    if (delay < 0)
        return;
    m_delay = delay;
}
