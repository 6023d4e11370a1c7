#include "TWaitCursor.h"

#include <QApplication>
#include <QCursor>

TWaitCursor::TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }

TWaitCursor::~TWaitCursor() { QApplication::restoreOverrideCursor(); }

bool TWaitCursor::Showing()
{
    const QCursor* cursor = QApplication::overrideCursor();
    return cursor && cursor->shape() == Qt::WaitCursor;
}

TWaitCursor::TPause::TPause()
    : m_paused(Showing())
{
    if (m_paused)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
}

TWaitCursor::TPause::~TPause()
{
    if (m_paused)
        QApplication::restoreOverrideCursor();
}
