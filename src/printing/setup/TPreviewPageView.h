#pragma once

#include <QAbstractScrollArea>
#include <QImage>

// The page of a preview on a grey desk: the page image centred with a thin frame and a shadow,
// scroll bars when it is larger than the view. Ctrl with the wheel asks for another zoom.
class TPreviewPageView : public QAbstractScrollArea {
    Q_OBJECT

public:
    // Room around the page, in pixels.
    static constexpr int Margin = 12;

    explicit TPreviewPageView(QWidget* parent = nullptr);

    const QImage& Page() const { return m_page; }
    // Shows the image; the view scrolls back to the page's top when asked.
    void SetPage(const QImage& page, bool toTop);
    // The room the page has without scroll bars.
    QSize Room() const;

signals:
    // Ctrl with the wheel: steps to zoom in (positive) or out.
    void zoomRequested(int steps);
    // The room for the page changed.
    void resized();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void updateScrollBars();
    QRect pageRect() const;

    QImage m_page;
};
