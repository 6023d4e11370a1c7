#pragma once

#include "TQRPrintable.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <Qt>

#include <cstdint>

class QFontMetricsF;

// One line of text. The text starts at the top of the control and is aligned left, right or
// centred within its width. With AutoSize the width is the caption's width on the running
// pass's canvas (the design width outside a pass), up to MaxWidth when that is set and never
// wider than the band. A caption wider than the label is cut to its width and ends in an
// ellipsis, so that a label prints nothing outside its room. Unless Transparent, the control's
// rectangle is filled with Color first.
class TQRLabel : public TQRPrintable {
public:
    explicit TQRLabel(TQRBand& band);

    const QString& Caption() const { return m_caption; }
    void SetCaption(const QString& caption);
    // Qt::AlignLeft, Qt::AlignRight or Qt::AlignHCenter.
    Qt::Alignment Alignment() const { return m_alignment; }
    void SetAlignment(Qt::Alignment alignment) { m_alignment = alignment; }
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool autoSize) { m_autoSize = autoSize; }
    // Report units; 0 or less for none.
    double MaxWidth() const { return m_maxWidth; }
    void SetMaxWidth(double maxWidth) { m_maxWidth = maxWidth; }
    const QFont& Font() const { return m_font; }
    void SetFont(const QFont& font);
    const QColor& Color() const { return m_color; }
    void SetColor(const QColor& color) { m_color = color; }
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool transparent) { m_transparent = transparent; }

    double Width() const override;
    void Print(TQRCanvas& canvas, double x, double y) const override;

    std::unique_ptr<State> SaveState() const override;
    void RestoreState(const State& state) override;

private:
    struct LabelState;

    const QFontMetricsF& metrics(const TQRCanvas& canvas) const;
    // The caption's width where it is at most limit pixels, else some width above limit.
    double captionPixels(const TQRCanvas& canvas, double limit) const;
    // The caption as it prints within width pixels.
    const QString& printedCaption(const TQRCanvas& canvas, double width) const;
    static constexpr qsizetype kLongCaption = 4096;

    QString m_caption;
    Qt::Alignment m_alignment = Qt::AlignLeft;
    bool m_autoSize = false;
    double m_maxWidth = 0;
    QFont m_font;
    QColor m_color = Qt::white;
    bool m_transparent = false;

    // Measuring is the costly part of printing a row, so a caption is measured once per canvas.
    mutable const QFontMetricsF* m_metrics = nullptr;
    mutable std::uint64_t m_metricsSerial = 0;
    mutable double m_captionPixels = 0;
    mutable std::uint64_t m_captionSerial = 0;
    mutable double m_captionLimit = 0;
    mutable QString m_printed;
    mutable std::uint64_t m_printedSerial = 0;
    mutable double m_printedWidth = 0;
};
