#pragma once

#include "TQRPrintable.h"

#include <QString>

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

class TQRCanvas;
class TQuickRep;

enum class TQRBandType { PageHeader, ColumnHeader, Detail, PageFooter };

// A horizontal slice of a page that prints its enabled controls. It spans the printable width;
// its height is the design height or more where a stretching control needs it.
//
// Only the enabled controls are visited when the band prints, so a band may carry thousands of
// disabled controls (every column of every table) at no cost per printed row.
class TQRBand {
public:
    TQRBand(TQuickRep& report, TQRBandType type);
    TQRBand(const TQRBand&) = delete;
    TQRBand& operator=(const TQRBand&) = delete;
    ~TQRBand();

    TQuickRep& Report() const { return m_report; }
    TQRBandType BandType() const { return m_type; }
    const QString& Name() const { return m_name; }
    void SetName(const QString& name) { m_name = name; }

    // Design height in report units.
    double Height() const { return m_height; }
    void SetHeight(double height) { m_height = height; }
    // A disabled band is skipped where it would print and takes no space.
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled) { m_enabled = enabled; }

    // Creates a control on this band, in front of those created before, enabled.
    template <class T> T& Add()
    {
        auto control = std::make_unique<T>(*this);
        T& result = *control;
        adopt(std::move(control));
        return result;
    }
    const std::vector<std::unique_ptr<TQRPrintable>>& Controls() const { return m_controls; }

    // The height the band prints with on this canvas.
    double PrintHeight(const TQRCanvas& canvas) const;
    // Draws the enabled controls, back to front, with the band's top at top (report units). A
    // rule along the band's foot is held and drawn over the fills of the band printed next (at
    // the latest when the page ends), so that no fill of the next row covers it.
    void Print(TQRCanvas& canvas, double top) const;

    // The band and every control on it, for a bookmark of a pass (TQRBookmark); restoring
    // puts back what was saved of this band, its stacking included.
    struct State {
        double Height = 0;
        bool Enabled = true;
        std::int64_t FrontZ = 0;
        std::int64_t BackZ = 0;
        std::vector<std::unique_ptr<TQRPrintable::State>> Controls;
    };
    State SaveState() const;
    // std::logic_error for the state of a band with other controls.
    void RestoreState(const State& state);

private:
    friend class TQRPrintable;

    void adopt(std::unique_ptr<TQRPrintable> control);
    void enabledChanged(TQRPrintable& control);
    void restack(TQRPrintable& control, bool toFront);

    TQuickRep& m_report;
    TQRBandType m_type;
    QString m_name;
    double m_height = 0;
    bool m_enabled = true;
    std::vector<std::unique_ptr<TQRPrintable>> m_controls;
    // The enabled controls keyed by their stacking order.
    std::map<std::int64_t, TQRPrintable*> m_printing;
    std::int64_t m_frontZ = 0;
    std::int64_t m_backZ = 0;
};
