#pragma once

#include "TQorIdleOutlet.h"

#include <QObject>

// The idle control a window places on itself to be called back whenever the application has
// nothing else to do. Its properties read and write its outlet (see TQorIdleOutlet); SlowMotion
// is one value shared by all idle controls. The control is registered from the moment OnIdle is
// set until it is cleared or the control is destroyed.
class TQorIdleControl : public QObject {
    Q_OBJECT

public:
    explicit TQorIdleControl(QObject* parent = nullptr);
    ~TQorIdleControl() override;

    const TIdleEvent& OnIdle() const { return m_outlet.OnIdle(); }
    void SetOnIdle(TIdleEvent handler) { m_outlet.SetOnIdle(std::move(handler)); }

    bool Enabled() const { return m_outlet.Enabled(); }
    void SetEnabled(bool enabled) { m_outlet.SetEnabled(enabled); }

    int Priority() const { return m_outlet.Priority(); }
    void SetPriority(int priority) { m_outlet.SetPriority(priority); }

    int Delay() const { return m_outlet.Delay(); }
    void SetDelay(int delay) { m_outlet.SetDelay(delay); }

    // Milliseconds the thread sleeps after every idle event, for all idle controls; negative
    // values are ignored.
    static int SlowMotion();
    static void SetSlowMotion(int milliseconds);

    const TQorIdleOutlet& Outlet() const { return m_outlet; }

private:
    TQorIdleOutlet m_outlet;
};
