#include "TPreviewPageView.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

namespace {

const QColor kDesk(128, 128, 128);
const QColor kShadow(64, 64, 64);
constexpr int kShadowOffset = 3;

} // namespace

TPreviewPageView::TPreviewPageView(QWidget* parent)
    : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setSingleStep(20);
}

void TPreviewPageView::SetPage(const QImage& page, bool toTop)
{
    m_page = page;
    updateScrollBars();
    if (toTop)
        verticalScrollBar()->setValue(0);
    viewport()->update();
}

QSize TPreviewPageView::Room() const
{
    const int frame = 2 * frameWidth();
    return QSize(std::max(1, width() - frame - 2 * Margin),
                 std::max(1, height() - frame - 2 * Margin));
}

QRect TPreviewPageView::pageRect() const
{
    const QSize size = m_page.size();
    const QSize view = viewport()->size();
    // Centred while it fits, from the scroll position where it does not.
    const int x = size.width() + 2 * Margin <= view.width()
                      ? (view.width() - size.width()) / 2
                      : Margin - horizontalScrollBar()->value();
    const int y = size.height() + 2 * Margin <= view.height()
                      ? (view.height() - size.height()) / 2
                      : Margin - verticalScrollBar()->value();
    return QRect(QPoint(x, y), size);
}

void TPreviewPageView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    painter.fillRect(event->rect(), kDesk);
    if (m_page.isNull())
        return;
    const QRect page = pageRect();
    painter.fillRect(page.translated(kShadowOffset, kShadowOffset), kShadow);
    painter.drawImage(page.topLeft(), m_page);
    painter.setPen(Qt::black);
    painter.drawRect(page.adjusted(-1, -1, 0, 0));
}

void TPreviewPageView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
    emit resized();
}

void TPreviewPageView::scrollContentsBy(int, int) { viewport()->update(); }

void TPreviewPageView::wheelEvent(QWheelEvent* event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        const int steps = event->angleDelta().y() / 120;
        if (steps != 0)
            emit zoomRequested(steps);
        event->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
}

void TPreviewPageView::updateScrollBars()
{
    const QSize view = viewport()->size();
    const QSize need = m_page.size() + QSize(2 * Margin, 2 * Margin);
    horizontalScrollBar()->setRange(0, std::max(0, need.width() - view.width()));
    horizontalScrollBar()->setPageStep(view.width());
    verticalScrollBar()->setRange(0, std::max(0, need.height() - view.height()));
    verticalScrollBar()->setPageStep(view.height());
}
