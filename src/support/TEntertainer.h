#pragma once

#include <QMetaObject>
#include <QObject>

#include <vector>

class TQorIdleOutlet;

// The one idle dispatcher of the program. It serves the registered idle outlets from the GUI
// thread's QAbstractEventDispatcher::aboutToBlock (the loop has nothing to do and is about to
// wait): outlets of priority 0 at every idle event (DispatchAll), the others in a round robin,
// one per idle event (DispatchRoundRobin). When a handler asks for more time, or outlets of the
// round are still waiting for their turn, the loop is woken so that it runs again instead of
// waiting for the next event.
//
// Exists from the first registration until the application object is destroyed; it listens to
// the event dispatcher only while at least one outlet is registered. User-interface thread only.
class TEntertainer : public QObject {
    Q_OBJECT

public:
    enum class Handler { None, DispatchAll, DispatchRoundRobin };

    // The dispatcher, created on first use.
    static TEntertainer& instance();
    // The dispatcher if it exists, else null.
    static TEntertainer* existing();

    ~TEntertainer() override;

    // Milliseconds the thread sleeps after every idle event; negative values are ignored.
    static int SlowMotion();
    static void SetSlowMotion(int milliseconds);

    // The two idle handlers; done must be true on entry and is false afterwards when the loop
    // should not wait.
    void DispatchAll(QObject* sender, bool& done);
    void DispatchRoundRobin(QObject* sender, bool& done);
    // Moves the round position to the next outlet due for a turn; false when none is due (with
    // wrapping allowed, a new round starts at the end of the list).
    bool FindNextOutlet(bool canWrap);

    int count() const { return static_cast<int>(m_outlets.size()); }
    TQorIdleOutlet* outlet(int index) const { return m_outlets.at(static_cast<size_t>(index)); }
    int everyTimeCount() const { return m_everyTimeCount; }
    int wantingCount() const { return m_wantingCount; }
    bool freshRound() const { return m_freshRound; }
    int roundPosition() const { return m_roundPosition; }
    int currentIndex() const { return m_currentIndex; }
    Handler installedHandler() const { return m_handler; }

private:
    friend class TQorIdleOutlet;

    TEntertainer();

    void registerOutlet(TQorIdleOutlet* outlet);
    void unregisterOutlet(TQorIdleOutlet* outlet);
    void changeEveryTimeCount(int delta);
    void changeWantingCount(int delta) { m_wantingCount += delta; }
    void install();
    void uninstall();
    void giveTurn();
    void onAboutToBlock();
    static void destroyInstance();

    std::vector<TQorIdleOutlet*> m_outlets;
    int m_everyTimeCount = 0;
    int m_wantingCount = 0;
    bool m_freshRound = true;
    int m_roundPosition = 0;
    int m_currentIndex = -1;
    bool m_currentAlive = false;
    Handler m_handler = Handler::None;
    QMetaObject::Connection m_connection;
};
