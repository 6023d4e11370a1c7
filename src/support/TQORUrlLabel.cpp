#include "TQORUrlLabel.h"

#include <QDesktopServices>
#include <QEnterEvent>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QUrl>

namespace {

bool openWithDesktop(const QString& address)
{
    return QDesktopServices::openUrl(QUrl(address, QUrl::TolerantMode));
}

TQORUrlLabel::TUrlOpener& currentOpener()
{
    static TQORUrlLabel::TUrlOpener opener = openWithDesktop;
    return opener;
}

} // namespace

TQORUrlLabel::TQORUrlLabel(QWidget* parent)
    : QLabel(parent)
{
}

void TQORUrlLabel::SetHighlightURLOnMouse(bool highlight)
{
    m_highlightURLOnMouse = highlight;
    // Without highlighting nothing else would tell the reader that this is a link.
    setUnderline(!highlight);
}

QString TQORUrlLabel::Prefix() const
{
    switch (m_urlType) {
    case utHTTP:
        return QStringLiteral("http://");
    case utFTP:
        return QStringLiteral("ftp://");
    case utMail:
        return QStringLiteral("mailto:");
    case utCustom:
        break;
    }
    return m_customURLType;
}

QString TQORUrlLabel::Address() const { return m_useCaption ? Prefix() + text() : m_url; }

void TQORUrlLabel::Click()
{
    if (isSignalConnected(QMetaMethod::fromSignal(&TQORUrlLabel::OnClick))) {
        emit OnClick();
        return;
    }
    // A copy, so that an opener may replace itself while it runs.
    const TUrlOpener opener = currentOpener();
    opener(Address());
}

TQORUrlLabel::TUrlOpener TQORUrlLabel::SetUrlOpener(TUrlOpener opener)
{
    TUrlOpener previous = std::move(currentOpener());
    currentOpener() = opener ? std::move(opener) : TUrlOpener(openWithDesktop);
    return previous;
}

void TQORUrlLabel::enterEvent(QEnterEvent* event)
{
    if (m_highlightURLOnMouse) {
        setTextColor(m_activeColor);
        setUnderline(true);
    }
    QLabel::enterEvent(event);
    emit OnMouseEnter();
}

void TQORUrlLabel::leaveEvent(QEvent* event)
{
    if (m_highlightURLOnMouse) {
        setTextColor(m_inactiveColor);
        setUnderline(false);
    }
    QLabel::leaveEvent(event);
    emit OnMouseLeave();
}

void TQORUrlLabel::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void TQORUrlLabel::mouseReleaseEvent(QMouseEvent* event)
{
    // Like a button: the click counts only when the press began here and ends here too.
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    QLabel::mouseReleaseEvent(event);
    if (click)
        Click();
}

void TQORUrlLabel::setTextColor(const QColor& color)
{
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, color);
    setPalette(colours);
}

void TQORUrlLabel::setUnderline(bool underline)
{
    QFont shown = font();
    shown.setUnderline(underline);
    setFont(shown);
}
