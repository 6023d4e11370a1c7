#pragma once

#include "TQRPrintable.h"

#include <QColor>
#include <QFont>
#include <QStringList>
#include <Qt>

#include <cstdint>

// Several lines of text, one below the other at the font's height (ascent and descent: the line
// height reports measure with, so that a memo sized for n lines holds them whatever leading the
// font adds), each aligned within the control's width. WordWrap breaks a line at blanks where it
// would pass the width, and a word wider than the width after as many characters as fit. AutoSize
// makes the width that of the widest line, up to the band's right edge, and the height that of all
// lines; Stretch lets the band grow to hold all lines. Without either, lines below the design
// height are not printed. A line wider than the memo that is not wrapped is cut to its width and
// ends in an ellipsis.
class TQRMemo : public TQRPrintable {
public:
    explicit TQRMemo(TQRBand& band);

    const QStringList& Lines() const { return m_lines; }
    void SetLines(const QStringList& lines);
    Qt::Alignment Alignment() const { return m_alignment; }
    void SetAlignment(Qt::Alignment alignment) { m_alignment = alignment; }
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool autoSize)
    {
        m_autoSize = autoSize;
        m_layoutValid = false;
    }
    bool Stretch() const { return m_stretch; }
    void SetStretch(bool stretch) { m_stretch = stretch; }
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool wordWrap)
    {
        m_wordWrap = wordWrap;
        m_layoutValid = false;
    }
    const QFont& Font() const { return m_font; }
    void SetFont(const QFont& font)
    {
        m_font = font;
        m_layoutValid = false;
    }
    const QColor& Color() const { return m_color; }
    void SetColor(const QColor& color) { m_color = color; }
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool transparent) { m_transparent = transparent; }

    // The lines as they print on the canvas: wrapped with WordWrap, else as set.
    QStringList PrintedLines(const TQRCanvas& canvas) const { return layout(canvas).lines; }
    // The lines the memo would print for lines set (it keeps its own).
    QStringList PrintedLines(const TQRCanvas& canvas, const QStringList& lines) const;
    // The height of one printed line, in report units.
    double LineHeight(const TQRCanvas& canvas) const;

    double Width() const override;
    double Height() const override;
    double StretchBottom(const TQRCanvas& canvas) const override;
    void Print(TQRCanvas& canvas, double x, double y) const override;

    std::unique_ptr<State> SaveState() const override;
    void RestoreState(const State& state) override;

private:
    struct MemoState;

    struct Layout {
        QStringList lines;
        double widthPixels = 0;
        double heightPixels = 0;
    };
    const Layout& layout(const TQRCanvas& canvas) const;
    // The width lines have, in pixels.
    double availablePixels(const TQRCanvas& canvas) const;
    bool sizesToText() const { return m_autoSize || m_stretch; }

    QStringList m_lines;
    Qt::Alignment m_alignment = Qt::AlignLeft;
    bool m_autoSize = false;
    bool m_stretch = false;
    bool m_wordWrap = false;
    QFont m_font;
    QColor m_color = Qt::white;
    bool m_transparent = false;

    mutable Layout m_layout;
    mutable bool m_layoutValid = false;
    mutable std::uint64_t m_layoutSerial = 0;
    mutable double m_layoutAvailable = 0;
};
