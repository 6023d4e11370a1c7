#include "TQRLabel.h"

#include "TQRBand.h"
#include "TQRCanvas.h"
#include "TQuickRep.h"

#include <QFontMetricsF>
#include <QRectF>

#include <algorithm>

TQRLabel::TQRLabel(TQRBand& band)
    : TQRPrintable(band)
    , m_font(band.Report().Page().Font)
{
}

void TQRLabel::SetCaption(const QString& caption)
{
    m_caption = caption;
    m_captionSerial = 0;
    m_printedSerial = 0;
}

void TQRLabel::SetFont(const QFont& font)
{
    m_font = font;
    m_metricsSerial = 0;
    m_captionSerial = 0;
    m_printedSerial = 0;
}

struct TQRLabel::LabelState : State {
    QString Caption;
    Qt::Alignment Alignment;
    bool AutoSize = false;
    double MaxWidth = 0;
    QFont Font;
    QColor Color;
    bool Transparent = false;
};

std::unique_ptr<TQRPrintable::State> TQRLabel::SaveState() const
{
    auto state = std::make_unique<LabelState>();
    SaveBaseState(*state);
    state->Caption = m_caption;
    state->Alignment = m_alignment;
    state->AutoSize = m_autoSize;
    state->MaxWidth = m_maxWidth;
    state->Font = m_font;
    state->Color = m_color;
    state->Transparent = m_transparent;
    return state;
}

void TQRLabel::RestoreState(const State& state)
{
    const auto& label = dynamic_cast<const LabelState&>(state);
    RestoreBaseState(label);
    SetCaption(label.Caption);
    m_alignment = label.Alignment;
    m_autoSize = label.AutoSize;
    m_maxWidth = label.MaxWidth;
    SetFont(label.Font);
    m_color = label.Color;
    m_transparent = label.Transparent;
}

double TQRLabel::Width() const
{
    const TQRCanvas* canvas = Canvas();
    if (!m_autoSize || !canvas)
        return TQRPrintable::Width();
    // Not the room right of Left: a label aligned to the right edge computes its left from its
    // width.
    double room = canvas->Width();
    if (m_maxWidth > 0)
        room = std::min(room, m_maxWidth);
    room = std::max(0.0, room);
    return std::min(captionPixels(*canvas, room * canvas->XFactor()) / canvas->XFactor(), room);
}

void TQRLabel::Print(TQRCanvas& canvas, double x, double y) const
{
    const double left = x + Left() * canvas.XFactor();
    const double top = y + Top() * canvas.YFactor();
    const double width = Width() * canvas.XFactor();
    if (!m_transparent)
        canvas.FillRect(QRectF(left, top, width, Height() * canvas.YFactor()), m_color);
    if (m_caption.isEmpty())
        return;
    canvas.DrawText(m_font, left, width, m_alignment, top + metrics(canvas).ascent(),
                    printedCaption(canvas, width));
}

const QString& TQRLabel::printedCaption(const TQRCanvas& canvas, double width) const
{
    // A short caption is looked up as it is; a long one (a head text, a huge cell) is cut once per
    // canvas and width, so that the pages it prints on do not each compare its whole text.
    if (m_caption.size() <= kLongCaption)
        return m_caption;
    if (m_printedSerial != canvas.Serial() || m_printedWidth != width) {
        m_printed = canvas.FittingText(m_font, m_caption, width);
        m_printedSerial = canvas.Serial();
        m_printedWidth = width;
    }
    return m_printed;
}

const QFontMetricsF& TQRLabel::metrics(const TQRCanvas& canvas) const
{
    if (m_metricsSerial != canvas.Serial()) {
        m_metrics = &canvas.Metrics(m_font);
        m_metricsSerial = canvas.Serial();
    }
    return *m_metrics;
}

double TQRLabel::captionPixels(const TQRCanvas& canvas, double limit) const
{
    if (m_captionSerial != canvas.Serial() || m_captionLimit != limit) {
        m_captionPixels = canvas.TextWidth(m_font, m_caption, limit);
        m_captionSerial = canvas.Serial();
        m_captionLimit = limit;
    }
    return m_captionPixels;
}
