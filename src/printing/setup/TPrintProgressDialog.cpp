#include "TPrintProgressDialog.h"

#include <QApplication>
#include <QProgressDialog>

namespace {

// Often enough to read as moving, seldom enough to cost nothing beside the pages.
constexpr int kTextInterval = 100;

} // namespace

int TPrintProgressDialog::ShowDelay = 500;

TPrintProgressDialog::TPrintProgressDialog(QWidget* window)
    : m_window(window)
{
    m_running.start();
}

TPrintProgressDialog::~TPrintProgressDialog() = default;

bool TPrintProgressDialog::PageDone(int part, int parts, int page, bool printing)
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
        m_dialog->setRange(0, parts);
        m_dialog->show();
        m_stage = -1;
    }
    // A new part or pass shows at once, pages within one at an interval.
    const int stage = part * 2 + (printing ? 1 : 0);
    if (stage != m_stage || m_sinceText.elapsed() >= kTextInterval) {
        m_stage = stage;
        m_dialog->setLabelText(Text(part, parts, page, printing));
        m_dialog->setValue(part - 1);
        m_sinceText.start();
    }
    QApplication::processEvents();
    return !m_dialog->wasCanceled();
}
