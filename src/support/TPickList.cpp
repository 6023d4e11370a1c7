#include "TPickList.h"

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
