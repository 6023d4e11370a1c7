#include "TViewerApplication.h"

#include "Errors.h"
#include "QtText.h"
#include "TViewerDialogs.h"

#include <exception>

TViewerApplication::TViewerApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
}

bool TViewerApplication::notify(QObject* receiver, QEvent* event)
{
    QString message;
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        message = FromUtf8(ErrorMessage(e));
    } catch (...) {
        message = QStringLiteral("Unbekannter Fehler");
    }
    // Not from inside the event: a message box runs an event loop of its own.
    QMetaObject::invokeMethod(
        this,
        [message] { TViewerDialogs::Current().ShowError(QApplication::activeWindow(), message); },
        Qt::QueuedConnection);
    return false;
}
