#include "TPickList.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QWheelEvent>

namespace {

bool OpensList(const QKeyEvent& event)
{
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    switch (event.key()) {
    case Qt::Key_F4:
    case Qt::Key_Space:
        return modifiers == Qt::NoModifier;
    case Qt::Key_Down:
    case Qt::Key_Up:
        return modifiers == Qt::AltModifier;
    default:
        return false;
    }
}

} // namespace

TPickList::TPickList(QWidget* parent)
    : QComboBox(parent)
{
    // A wheel notch over the list scrolls nothing here; it must not take the focus either.
    setFocusPolicy(Qt::StrongFocus);
    view()->installEventFilter(this);
}

bool TPickList::eventFilter(QObject* watched, QEvent* event)
{
    // Space on the open list picks the entry it is on, as Enter does.
    if (watched == view() && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier) {
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Enter, Qt::NoModifier);
            QCoreApplication::sendEvent(view(), &enter);
            return true;
        }
    }
    return QComboBox::eventFilter(watched, event);
}

void TPickList::keyPressEvent(QKeyEvent* event)
{
    if (OpensList(*event)) {
        showPopup();
        event->accept();
        return;
    }
    event->ignore();
}

void TPickList::wheelEvent(QWheelEvent* event) { event->ignore(); }

void TPickList::inputMethodEvent(QInputMethodEvent* event)
{
    // Composed text would search the entries like typed letters.
    event->ignore();
}
