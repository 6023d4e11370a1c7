#include "TQRMemo.h"

#include "TQRBand.h"
#include "TQRCanvas.h"
#include "TQuickRep.h"

#include <QFontMetricsF>
#include <QPointF>
#include <QRectF>

#include <algorithm>

namespace {

// The number of leading characters of a word that fit the width, at least one (and never half
// of a surrogate pair).
qsizetype fittingPrefix(const QString& word, const QFontMetricsF& metrics, double width)
{
    qsizetype low = 1;
    qsizetype high = word.size();
    while (low < high) {
        const qsizetype middle = (low + high + 1) / 2;
        if (metrics.horizontalAdvance(word.left(middle)) <= width)
            low = middle;
        else
            high = middle - 1;
    }
    if (low < word.size() && word.at(low - 1).isHighSurrogate())
        low += low > 1 ? -1 : 1;
    return low;
}

// Greedy breaking at blanks; the blanks at a break are dropped. A word wider than the width (a
// path, a long code) is broken after as many characters as fit.
void wrapLine(const QString& line, const QFontMetricsF& metrics, double width, QStringList& out)
{
    if (metrics.horizontalAdvance(line) <= width) {
        out.append(line);
        return;
    }
    const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QString current;
    for (QString word : words) {
        const QString candidate = current.isEmpty() ? word : current + QLatin1Char(' ') + word;
        if (metrics.horizontalAdvance(candidate) <= width) {
            current = candidate;
            continue;
        }
        if (!current.isEmpty())
            out.append(current);
        while (word.size() > 1 && metrics.horizontalAdvance(word) > width) {
            const qsizetype fits = fittingPrefix(word, metrics, width);
            out.append(word.left(fits));
            word.remove(0, fits);
        }
        current = word;
    }
    out.append(current);
}

} // namespace

TQRMemo::TQRMemo(TQRBand& band) : TQRPrintable(band), m_font(band.Report().Page().Font) {}

void TQRMemo::SetLines(const QStringList& lines)
{
    m_lines = lines;
}

double TQRMemo::LineHeight(const TQRCanvas& canvas) const
{
    return canvas.Metrics(m_font).height() / canvas.YFactor();
}

double TQRMemo::Width() const
{
    const TQRCanvas* canvas = Canvas();
    if (!m_autoSize || !canvas)
        return TQRPrintable::Width();
    return layout(*canvas).widthPixels / canvas->XFactor();
}

double TQRMemo::Height() const
{
    const TQRCanvas* canvas = Canvas();
    if (!sizesToText() || !canvas)
        return TQRPrintable::Height();
    return layout(*canvas).heightPixels / canvas->YFactor();
}

double TQRMemo::StretchBottom(const TQRCanvas& canvas) const
{
    if (!m_stretch)
        return 0;
    return Top() + layout(canvas).heightPixels / canvas.YFactor();
}

TQRMemo::Layout TQRMemo::layout(const TQRCanvas& canvas) const
{
    Layout result;
    const QFontMetricsF& metrics = canvas.Metrics(m_font);
    const double available = m_autoSize ? (canvas.Width() - Left()) * canvas.XFactor()
                                        : TQRPrintable::Width() * canvas.XFactor();
    if (m_wordWrap) {
        for (const QString& line : m_lines)
            wrapLine(line, metrics, available, result.lines);
    } else {
        result.lines = m_lines;
    }
    if (m_autoSize) {
        for (const QString& line : result.lines)
            result.widthPixels = std::max(result.widthPixels, metrics.horizontalAdvance(line));
        result.widthPixels = std::min(result.widthPixels, available);
    } else {
        result.widthPixels = available;
    }
    if (sizesToText())
        result.heightPixels = result.lines.size() * metrics.height();
    else
        result.heightPixels = TQRPrintable::Height() * canvas.YFactor();
    return result;
}

void TQRMemo::Print(TQRCanvas& canvas, double x, double y) const
{
    const Layout text = layout(canvas);
    const double left = x + Left() * canvas.XFactor();
    const double top = y + Top() * canvas.YFactor();
    if (!m_transparent)
        canvas.FillRect(QRectF(left, top, text.widthPixels, text.heightPixels), m_color);
    const QFontMetricsF& metrics = canvas.Metrics(m_font);
    const double step = metrics.height();
    // A line prints when it fits the height; a rounding hair must not cost the last line.
    const double bottom = text.heightPixels + 0.01 * step;
    double lineTop = 0;
    for (const QString& line : text.lines) {
        if (lineTop + metrics.height() > bottom)
            break;
        canvas.DrawText(m_font, left, text.widthPixels, m_alignment,
                        top + lineTop + metrics.ascent(), line);
        lineTop += step;
    }
}

struct TQRMemo::MemoState : State {
    QStringList Lines;
    Qt::Alignment Alignment;
    bool AutoSize = false;
    bool Stretch = false;
    bool WordWrap = false;
    QFont Font;
    QColor Color;
    bool Transparent = false;
};

std::unique_ptr<TQRPrintable::State> TQRMemo::SaveState() const
{
    auto state = std::make_unique<MemoState>();
    SaveBaseState(*state);
    state->Lines = m_lines;
    state->Alignment = m_alignment;
    state->AutoSize = m_autoSize;
    state->Stretch = m_stretch;
    state->WordWrap = m_wordWrap;
    state->Font = m_font;
    state->Color = m_color;
    state->Transparent = m_transparent;
    return state;
}

void TQRMemo::RestoreState(const State& state)
{
    const auto& memo = dynamic_cast<const MemoState&>(state);
    RestoreBaseState(memo);
    SetLines(memo.Lines);
    m_alignment = memo.Alignment;
    m_autoSize = memo.AutoSize;
    m_stretch = memo.Stretch;
    m_wordWrap = memo.WordWrap;
    SetFont(memo.Font);
    m_color = memo.Color;
    m_transparent = memo.Transparent;
}
