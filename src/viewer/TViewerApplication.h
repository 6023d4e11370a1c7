#pragma once

#include <QApplication>

// The viewer's application object. The toolkit cannot unwind through its own event handling,
// so whatever a handler of the program lets through (above all memory running out) is caught
// where the event is delivered: the event counts as not handled, the failure's message goes to
// the application's error report once the event is done, and the program carries on.
class TViewerApplication : public QApplication {
public:
    TViewerApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
