#include "TQorButton.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QKeyEvent>
#include <QPixmap>
#include <QPointer>

namespace {

// The character an Alt key stands for. Some platforms send no text with Alt held, so fall
// back to the key itself for letters and digits.
QChar typedCharacter(const QKeyEvent& event)
{
    const QString text = event.text();
    if (text.size() == 1 && text.at(0).isPrint())
        return text.at(0);
    const int key = event.key();
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return QChar(key);
    return QChar();
}

TQorButton* buttonForCharacter(QWidget* window, QChar c)
{
    const auto buttons = window->findChildren<TQorButton*>();
    for (TQorButton* button : buttons) {
        if (button->window() != window || button->KeyCode() == 0 || !button->TakesPart())
            continue;
        if (QString(QChar(button->KeyCode())).compare(QString(c), Qt::CaseInsensitive) == 0)
            return button;
    }
    return nullptr;
}

class HotKeyFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress)
            return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers held =
            key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
        // Ctrl+Alt is AltGr on some keyboards: those keys type characters, not hot keys.
        if (held != Qt::AltModifier)
            return false;
        const QChar c = typedCharacter(*key);
        if (c.isNull())
            return false;
        TQorButton* button = buttonForCharacter(widget->window(), c);
        if (!button)
            return false;
        // Claiming the override keeps Qt's mnemonics off this key; the click comes with the
        // key press that follows.
        key->accept();
        if (type == QEvent::KeyPress)
            button->HandleDialogChar(c);
        return true;
    }
};

void installHotKeyFilter()
{
    static QPointer<HotKeyFilter> filter;
    QCoreApplication* application = QCoreApplication::instance();
    if (filter || !application)
        return;
    filter = new HotKeyFilter(application);
    application->installEventFilter(filter);
}

} // namespace

TQorButton::TQorButton(QWidget* parent)
    : QToolButton(parent)
{
    setAutoRaise(true);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setFocusPolicy(Qt::NoFocus);
    installHotKeyFilter();
}

void TQorButton::SetGlyph(const QIcon& glyph)
{
    QIcon icon;
    for (const QSize& size : {iconSize(), iconSize() * 2}) {
        const QPixmap normal = glyph.pixmap(size);
        if (normal.isNull())
            continue;
        icon.addPixmap(normal, QIcon::Normal);
        QImage faded = normal.toImage().convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < faded.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(faded.scanLine(y));
            for (int x = 0; x < faded.width(); ++x) {
                // Grey, lighter and mostly transparent: the style's own disabled glyph keeps
                // too much of the picture for a small icon.
                const int grey = 128 + qGray(line[x]) / 2;
                line[x] = qRgba(grey, grey, grey, qAlpha(line[x]) * 2 / 5);
            }
        }
        icon.addPixmap(QPixmap::fromImage(faded), QIcon::Disabled);
    }
    setIcon(icon);
}

bool TQorButton::TakesPart() const
{
    const QWidget* form = window();
    return form->isVisible() && isVisibleTo(form) && isEnabled();
}

bool TQorButton::HandleDialogChar(QChar c)
{
    if (m_keyCode == 0 || !TakesPart())
        return false;
    if (QString(QChar(m_keyCode)).compare(QString(c), Qt::CaseInsensitive) != 0)
        return false;
    click();
    return true;
}
