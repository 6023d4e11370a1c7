#include "TEntertainer.h"

#include "TQorIdleOutlet.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QThread>

#include <algorithm>

namespace {

TEntertainer* s_instance = nullptr;
int s_slowMotion = 0;

} // namespace

TEntertainer::TEntertainer() = default;

TEntertainer::~TEntertainer()
{
    // Outlets that outlive the dispatcher must not reach back into it when they are cleared.
    for (TQorIdleOutlet* outlet : m_outlets)
        outlet->m_registered = false;
    uninstall();
}

TEntertainer& TEntertainer::instance()
{
    if (!s_instance) {
        s_instance = new TEntertainer;
        if (QCoreApplication::instance())
            qAddPostRoutine(&TEntertainer::destroyInstance);
    }
    return *s_instance;
}

TEntertainer* TEntertainer::existing() { return s_instance; }

void TEntertainer::destroyInstance()
{
    delete s_instance;
    s_instance = nullptr;
}

int TEntertainer::SlowMotion() { return s_slowMotion; }

void TEntertainer::SetSlowMotion(int milliseconds)
{
    if (milliseconds < 0)
        return;
    s_slowMotion = milliseconds;
}

void TEntertainer::registerOutlet(TQorIdleOutlet* outlet)
{
    if (m_outlets.empty()) {
        m_everyTimeCount = 0;
        m_wantingCount = 0;
        m_freshRound = true;
        m_roundPosition = 0;
        m_currentIndex = -1;
    }
    m_outlets.push_back(outlet);
    outlet->m_registered = true;
    if (m_outlets.size() == 1)
        install();
    if (outlet->m_priority == 0)
        changeEveryTimeCount(1);
}

void TEntertainer::unregisterOutlet(TQorIdleOutlet* outlet)
{
    const auto found = std::find(m_outlets.begin(), m_outlets.end(), outlet);
    if (found == m_outlets.end())
        return;
    const int index = static_cast<int>(found - m_outlets.begin());
    m_outlets.erase(found);
    outlet->m_registered = false;
    if (m_outlets.empty())
        uninstall();
    if (outlet->m_priority == 0)
        changeEveryTimeCount(-1);
    if (outlet->m_wantsMore)
        --m_wantingCount;
    // Keep both walks on the outlet that follows the removed one.
    if (index == m_currentIndex)
        m_currentAlive = false;
    if (index <= m_currentIndex)
        --m_currentIndex;
    if (index <= m_roundPosition)
        --m_roundPosition;
}

void TEntertainer::changeEveryTimeCount(int delta)
{
    const bool hadEveryTime = m_everyTimeCount != 0;
    m_everyTimeCount += delta;
    // A priority-0 outlet is only ever served by DispatchAll, so the handler has to follow the
    // count whichever way it changes - also when such an outlet joins a running dispatcher.
    if (hadEveryTime != (m_everyTimeCount != 0) && !m_outlets.empty())
        install();
}

void TEntertainer::install()
{
    m_handler = m_everyTimeCount != 0 ? Handler::DispatchAll : Handler::DispatchRoundRobin;
    if (m_connection)
        return;
    QCoreApplication* application = QCoreApplication::instance();
    if (!application)
        return;
    QAbstractEventDispatcher* dispatcher =
        QAbstractEventDispatcher::instance(application->thread());
    if (!dispatcher)
        return;
    m_connection = connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this,
                           &TEntertainer::onAboutToBlock);
}

void TEntertainer::uninstall()
{
    m_handler = Handler::None;
    if (m_connection)
        disconnect(m_connection);
    m_connection = QMetaObject::Connection();
}

void TEntertainer::onAboutToBlock()
{
    bool done = true;
    QCoreApplication* application = QCoreApplication::instance();
    if (m_handler == Handler::DispatchAll)
        DispatchAll(application, done);
    else if (m_handler == Handler::DispatchRoundRobin)
        DispatchRoundRobin(application, done);
    if (done)
        return;
    // The loop is about to wait; a wake-up makes it return at once and come back here.
    if (QAbstractEventDispatcher* dispatcher = qobject_cast<QAbstractEventDispatcher*>(sender()))
        dispatcher->wakeUp();
}

void TEntertainer::giveTurn()
{
    if (m_currentIndex < 0 || m_currentIndex >= count())
        return;
    TQorIdleOutlet* outlet = m_outlets[static_cast<size_t>(m_currentIndex)];
    outlet->m_skipCount = 0;
    if (!outlet->m_enabled) {
        // A disabled outlet cannot be satisfied: its old request for more time would keep the
        // loop from ever waiting, so it is withdrawn at its turn.
        if (outlet->m_wantsMore) {
            outlet->m_wantsMore = false;
            --m_wantingCount;
        }
        return;
    }
    m_currentAlive = true;
    bool done = true;
    // A copy: the handler may replace or clear itself, or destroy its outlet, while it runs.
    const TIdleEvent handler = outlet->m_onIdle;
    handler(QCoreApplication::instance(), done);
    if (!m_currentAlive)
        return;
    // Compared with the flag as it stands now, not as it was before the call: a handler that
    // assigned itself anew during the call has already withdrawn its old request.
    const bool wantsMore = !done;
    m_wantingCount += (wantsMore ? 1 : 0) - (outlet->m_wantsMore ? 1 : 0);
    outlet->m_wantsMore = wantsMore;
    if (outlet->m_delay > 0)
        QThread::msleep(static_cast<unsigned long>(outlet->m_delay));
}

void TEntertainer::DispatchAll(QObject* sender, bool& done)
{
    for (m_currentIndex = 0; m_currentIndex < count(); ++m_currentIndex) {
        if (m_outlets[static_cast<size_t>(m_currentIndex)]->m_priority == 0)
            giveTurn();
    }
    DispatchRoundRobin(sender, done);
}

void TEntertainer::DispatchRoundRobin(QObject* /*sender*/, bool& done)
{
    if (FindNextOutlet(true)) {
        m_currentIndex = m_roundPosition;
        giveTurn();
        ++m_roundPosition;
        if (FindNextOutlet(false) || m_wantingCount != 0)
            done = false;
    } else if (m_wantingCount != 0) {
        done = false;
    }
    if (s_slowMotion > 0)
        QThread::msleep(static_cast<unsigned long>(s_slowMotion));
}

bool TEntertainer::FindNextOutlet(bool canWrap)
{
    if (count() <= m_everyTimeCount)
        return false;
    for (;;) {
        // An outlet that left while the round stood on the first place takes the position
        // below 0; the next outlet to consider is then the new first one.
        if (m_roundPosition < 0)
            m_roundPosition = 0;
        if (m_roundPosition >= count()) {
            if (!canWrap)
                return false;
            m_freshRound = m_wantingCount == 0;
            m_roundPosition = 0;
        }
        TQorIdleOutlet* outlet = m_outlets[static_cast<size_t>(m_roundPosition)];
        if (outlet->m_priority > 0) {
            if (m_freshRound)
                return true;
            if (++outlet->m_skipCount >= outlet->m_priority)
                return true;
        }
        ++m_roundPosition;
    }
}
