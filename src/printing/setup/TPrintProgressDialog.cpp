#include "TPrintProgressDialog.h"

#include <QApplication>
#include <QProgressDialog>
#include <QWidget>

#include <algorithm>

namespace {

// Often enough to read as moving, seldom enough to cost nothing beside the pages.
constexpr int kTextInterval = 100;
constexpr int kPartSteps = 100;

} // namespace

int TPrintProgressDialog::ShowDelay = 500;

TPrintProgressDialog::TPrintProgressDialog(QWidget* window)
    : m_window(window)
{
    m_running.start();
}

TPrintProgressDialog::~TPrintProgressDialog()
{
    // The window the print was started from is where the user goes on.
    if (m_dialog && m_window) {
        m_dialog.reset();
        m_window->activateWindow();
    }
}

bool TPrintProgressDialog::PageDone(int part, int parts, int page, int pages, bool printing)
{
    if (!m_dialog) {
        // A short print finishes before anything shows, and handles no events meanwhile.
        if (m_running.elapsed() < ShowDelay)
            return true;
        m_dialog = std::make_unique<QProgressDialog>(m_window);
        m_dialog->setWindowTitle(QStringLiteral("Drucken"));
        m_dialog->setCancelButtonText(QStringLiteral("Abbrechen"));
        m_dialog->setWindowModality(Qt::WindowModal);
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
        m_dialog->setMinimumDuration(0);
        m_dialog->setMinimumWidth(360);
        // A part is a hundredth of the bar per its share, filled while it prints.
        m_dialog->setRange(0, parts * kPartSteps);
        m_dialog->show();
        m_stage = -1;
    }
    // A new part or pass shows at once, pages within one at an interval.
    const int stage = part * 2 + (printing ? 1 : 0);
    if (stage != m_stage || m_sinceText.elapsed() >= kTextInterval) {
        m_stage = stage;
        m_dialog->setLabelText(Text(part, parts, page, pages, printing));
        const int done = printing && pages > 0 ? std::min(page, pages) * kPartSteps / pages : 0;
        m_dialog->setValue((part - 1) * kPartSteps + done);
        m_sinceText.start();
    }
    QApplication::processEvents();
    return !m_dialog->wasCanceled();
}
