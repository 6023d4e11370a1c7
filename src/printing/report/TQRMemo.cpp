#include "TQRMemo.h"

#include "TQRBand.h"
#include "TQRCanvas.h"
#include "TQuickRep.h"

#include <QFontMetricsF>
#include <QPointF>
#include <QRectF>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// Greedy breaking at blanks; the blanks at a break are dropped. A word wider than the width (a
// path, a long code) is broken after as many characters as fit.
//
// A line costs its length: words are sized from their characters' advances and kerning pairs
// (EstimatedWidth, exact for fonts that kern in pairs) and join the words before them by what
// their blank adds (JoinWidth), rather than the line being laid out again with each word. Each
// line that results is measured whole, which printing it needs anyway: one that its parts
// mismeasured gives its last words to the next line, or is broken at a character.
class LineBreaker {
public:
    LineBreaker(const TQRCanvas& canvas, const QFont& font, double width, QStringList& out)
        : m_canvas(canvas)
        , m_font(font)
        , m_width(width)
        , m_out(out)
    {
    }

    void Break(const QString& line)
    {
        if (m_canvas.EstimatedWidth(m_font, line, m_width) <= m_width &&
            m_canvas.TextWidth(m_font, line, m_width) <= m_width) {
            m_out.append(line);
            return;
        }
        m_current.clear();
        m_starts.clear();
        qsizetype at = 0;
        for (;;) {
            while (at < line.size() && line.at(at) == QLatin1Char(' '))
                ++at;
            if (at >= line.size()) {
                const qsizetype back = endLine();
                if (back < 0)
                    break;
                at = back;
                continue;
            }
            qsizetype end = line.indexOf(QLatin1Char(' '), at);
            if (end < 0)
                end = line.size();
            at = add(line, at, end);
        }
    }

private:
    // Adds the word [from, end) of line; returns where to go on.
    qsizetype add(const QString& line, qsizetype from, qsizetype end)
    {
        const QString word = line.mid(from, end - from);
        const double wordWidth = m_canvas.EstimatedWidth(m_font, word, m_width);
        if (!m_current.isEmpty() && wordWidth <= m_width) {
            const double joined = m_currentWidth +
                                  m_canvas.JoinWidth(m_font, m_current.back(), word.front()) +
                                  wordWidth;
            if (joined <= m_width) {
                m_starts.push_back({m_current.size() + 1, from});
                m_current += QLatin1Char(' ');
                m_current += word;
                m_currentWidth = joined;
                return end;
            }
        }
        if (!m_current.isEmpty()) {
            const qsizetype back = endLine();
            if (back >= 0)
                return back;
        }
        if (wordWidth <= m_width) {
            m_current = word;
            m_currentWidth = wordWidth;
            return end;
        }
        m_current = breakAtCharacters(word);
        m_currentWidth = m_canvas.EstimatedWidth(m_font, m_current, m_width);
        return end;
    }

    // Puts out the pieces of a word that fit the width but the last, which it returns.
    QString breakAtCharacters(const QString& word)
    {
        qsizetype start = 0;
        for (;;) {
            const qsizetype fits = m_canvas.FittingLength(m_font, word, start, m_width);
            if (start + fits >= word.size())
                return word.mid(start);
            m_out.append(word.mid(start, fits));
            start += fits;
        }
    }

    // Puts out the current line, which must fit as measured whole: one that does not ends before
    // its last words. Returns where the first word taken off begins, to go on from there, or -1.
    qsizetype endLine()
    {
        qsizetype back = -1;
        while (m_canvas.TextWidth(m_font, m_current, m_width) > m_width) {
            if (m_starts.empty()) {
                m_current = breakAtCharacters(m_current);
                break;
            }
            m_current.truncate(m_starts.back().first - 1);
            back = m_starts.back().second;
            m_starts.pop_back();
        }
        m_out.append(m_current);
        m_current.clear();
        m_starts.clear();
        return back;
    }

    const TQRCanvas& m_canvas;
    const QFont& m_font;
    const double m_width;
    QStringList& m_out;
    QString m_current;
    double m_currentWidth = 0;
    // Where each word after the first begins, in the current line and in the text.
    std::vector<std::pair<qsizetype, qsizetype>> m_starts;
};

} // namespace

TQRMemo::TQRMemo(TQRBand& band)
    : TQRPrintable(band)
    , m_font(band.Report().Page().Font)
{
}

void TQRMemo::SetLines(const QStringList& lines)
{
    m_lines = lines;
    m_layoutValid = false;
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

double TQRMemo::availablePixels(const TQRCanvas& canvas) const
{
    return m_autoSize ? (canvas.Width() - Left()) * canvas.XFactor()
                      : TQRPrintable::Width() * canvas.XFactor();
}

QStringList TQRMemo::PrintedLines(const TQRCanvas& canvas, const QStringList& lines) const
{
    if (!m_wordWrap)
        return lines;
    QStringList printed;
    LineBreaker breaker(canvas, m_font, availablePixels(canvas), printed);
    for (const QString& line : lines)
        breaker.Break(line);
    return printed;
}

const TQRMemo::Layout& TQRMemo::layout(const TQRCanvas& canvas) const
{
    const double available = availablePixels(canvas);
    // Sizing, stretching and printing each ask for the layout, several times a page: the lines
    // are broken once for what they are broken by.
    if (!m_layoutValid || m_layoutSerial != canvas.Serial() || m_layoutAvailable != available) {
        m_layout.lines = PrintedLines(canvas, m_lines);
        m_layout.widthPixels = 0;
        if (m_autoSize) {
            for (const QString& line : m_layout.lines) {
                m_layout.widthPixels =
                    std::max(m_layout.widthPixels, canvas.TextWidth(m_font, line, available));
            }
            m_layout.widthPixels = std::min(m_layout.widthPixels, available);
        } else {
            m_layout.widthPixels = available;
        }
        m_layoutValid = true;
        m_layoutSerial = canvas.Serial();
        m_layoutAvailable = available;
    }
    if (sizesToText())
        m_layout.heightPixels = m_layout.lines.size() * canvas.Metrics(m_font).height();
    else
        m_layout.heightPixels = TQRPrintable::Height() * canvas.YFactor();
    return m_layout;
}

void TQRMemo::Print(TQRCanvas& canvas, double x, double y) const
{
    const Layout& text = layout(canvas);
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
