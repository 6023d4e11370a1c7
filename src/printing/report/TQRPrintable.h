#pragma once

#include <QString>

#include <cstdint>
#include <memory>

class TQRBand;
class TQRCanvas;

// A control placed on a band. Geometry is in report units (0.1 mm) relative to the band's
// top-left corner. A disabled control neither prints nor takes space.
//
// Controls are stacked: a later one is drawn over an earlier one unless BringToFront or
// SendToBack reorders them. The band owns its controls; they live as long as the report.
class TQRPrintable {
public:
    explicit TQRPrintable(TQRBand& band);
    virtual ~TQRPrintable();
    TQRPrintable(const TQRPrintable&) = delete;
    TQRPrintable& operator=(const TQRPrintable&) = delete;

    TQRBand& Band() const { return m_band; }
    const QString& Name() const { return m_name; }
    void SetName(const QString& name) { m_name = name; }

    double Left() const { return m_left; }
    void SetLeft(double left) { m_left = left; }
    double Top() const { return m_top; }
    void SetTop(double top) { m_top = top; }
    // Controls that size themselves to their text report the size they print with.
    virtual double Width() const { return m_width; }
    void SetWidth(double width) { m_width = width; }
    virtual double Height() const { return m_height; }
    void SetHeight(double height) { m_height = height; }

    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled);

    void BringToFront();
    void SendToBack();

    // The lowest point, in band units, the control needs when it makes its band grow; 0 for a
    // control that never grows its band.
    virtual double StretchBottom(const TQRCanvas& canvas) const;
    // Draws the control with the band's top-left corner at (x, y) pixels on the canvas's painter.
    virtual void Print(TQRCanvas& canvas, double x, double y) const = 0;
    // A fill without outline (a background).
    virtual bool FillsOnly() const { return false; }
    // A horizontal rule along the foot of a band of that height.
    virtual bool RuleAlongFoot(double bandHeight) const
    {
        (void)bandHeight;
        return false;
    }

    // Everything about the control that a pass or its events may change, for a bookmark of the
    // pass (TQRBookmark). A control with properties of its own extends the state and both
    // operations. Restoring leaves the band's stacking to the band, which restores its
    // controls together.
    struct State {
        virtual ~State() = default;
        double Left = 0;
        double Top = 0;
        double Width = 0;
        double Height = 0;
        bool Enabled = true;
        std::int64_t Z = 0;
    };
    virtual std::unique_ptr<State> SaveState() const;
    virtual void RestoreState(const State& state);

protected:
    // The canvas of the running pass, or null outside a pass.
    const TQRCanvas* Canvas() const;
    void SaveBaseState(State& state) const;
    void RestoreBaseState(const State& state);

private:
    friend class TQRBand;

    TQRBand& m_band;
    QString m_name;
    double m_left = 0;
    double m_top = 0;
    double m_width = 0;
    double m_height = 0;
    bool m_enabled = true;
    std::int64_t m_z = 0;
};
