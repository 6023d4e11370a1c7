#include "TElidedLabel.h"

#include <QFontMetrics>
#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

#include <algorithm>

TElidedLabel::TElidedLabel(QWidget* parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
}

QRect TElidedLabel::textRect() const
{
    const int inset = margin() + std::max(0, indent());
    return contentsRect().adjusted(inset, 0, -inset, 0);
}

QString TElidedLabel::ShownText() const
{
    return fontMetrics().elidedText(text(), Qt::ElideRight, std::max(0, textRect().width()));
}

QSize TElidedLabel::minimumSizeHint() const { return QSize(0, QLabel::minimumSizeHint().height()); }

bool TElidedLabel::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QLabel::event(event);
    if (Elided() && toolTip().isEmpty()) {
        const auto* help = static_cast<QHelpEvent*>(event);
        QToolTip::showText(help->globalPos(), text(), this);
        return true;
    }
    return QLabel::event(event);
}

void TElidedLabel::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    style()->drawItemText(&painter, textRect(),
                          QStyle::visualAlignment(layoutDirection(), alignment()), palette(),
                          isEnabled(), ShownText(), foregroundRole());
}
