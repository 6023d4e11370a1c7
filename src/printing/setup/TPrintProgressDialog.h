#pragma once

#include "TPrintProgress.h"

#include <QElapsedTimer>

#include <memory>

class QProgressDialog;
class QWidget;

// The progress of a print on screen: once the print has taken a moment, a dialog over the window
// shows which part and page it is at and offers "Abbrechen", which stops the print after the
// current page. While it shows, the application goes on handling its events, so the windows
// repaint; the dialog is window-modal, so nothing else in the window can be started meanwhile.
class TPrintProgressDialog : public TPrintProgress {
public:
    explicit TPrintProgressDialog(QWidget* window);
    ~TPrintProgressDialog() override;

    bool PageDone(int part, int parts, int page, int pages, bool printing) override;

    // The dialog, once it has been shown; null before.
    QProgressDialog* Dialog() const { return m_dialog.get(); }

    // How long a print runs before the dialog shows (milliseconds); tests set 0.
    static int ShowDelay;

private:
    QWidget* m_window;
    QElapsedTimer m_running;
    QElapsedTimer m_sinceText;
    int m_stage = -1;
    std::unique_ptr<QProgressDialog> m_dialog;
};
