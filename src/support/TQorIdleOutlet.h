#pragma once

#include <functional>

class QObject;

// An idle callback: sender is the application; done is true on entry, and a handler that sets
// it to false asks for more idle time, so the application keeps idling instead of waiting for
// the next event.
using TIdleEvent = std::function<void(QObject* sender, bool& done)>;

// The registration record of one idle client with the dispatcher (TEntertainer). Assigning a
// handler registers the outlet, clearing it unregisters it; destroying the outlet clears it.
// All of it runs on the user-interface thread only. A handler may assign or clear handlers,
// change priorities or destroy outlets - its own included - during its own call.
class TQorIdleOutlet {
public:
    static constexpr int kMaxPriority = 9999;
    static constexpr int kFreshSkipCount = 9999;

    TQorIdleOutlet() = default;
    ~TQorIdleOutlet();
    TQorIdleOutlet(const TQorIdleOutlet&) = delete;
    TQorIdleOutlet& operator=(const TQorIdleOutlet&) = delete;

    const TIdleEvent& OnIdle() const { return m_onIdle; }
    void SetOnIdle(TIdleEvent handler);

    // 0: called at every idle event. n > 0: takes part in the round robin and, while it is
    // throttled, gets a turn once per n times it is passed. Values outside 0..9999 are ignored.
    int Priority() const { return m_priority; }
    void SetPriority(int priority);

    // A disabled outlet is still visited and counted as served, but not called.
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled) { m_enabled = enabled; }

    // Milliseconds the thread sleeps after each call of the handler; negative values are ignored.
    int Delay() const { return m_delay; }
    void SetDelay(int delay);

    bool Registered() const { return m_registered; }
    bool WantsMore() const { return m_wantsMore; }
    int SkipCount() const { return m_skipCount; }

private:
    friend class TEntertainer;

    TIdleEvent m_onIdle;
    int m_priority = 1;
    bool m_enabled = true;
    int m_delay = 0;
    int m_skipCount = 0;
    bool m_wantsMore = false;
    bool m_registered = false;
};
