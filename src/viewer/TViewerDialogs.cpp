#include "TViewerDialogs.h"

#include "ExecuteInFileFolder.h"
#include "TWaitCursor.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

namespace {
TViewerDialogs* g_installed = nullptr;
} // namespace

TViewerDialogs& TViewerDialogs::Current()
{
    static TQtViewerDialogs qtDialogs;
    return g_installed ? *g_installed : qtDialogs;
}

void TViewerDialogs::Install(TViewerDialogs* dialogs) { g_installed = dialogs; }

void TQtViewerDialogs::ShowError(QWidget* parent, const QString& message)
{
    const TWaitCursor::TPause arrow;
    QMessageBox box(QMessageBox::Critical, QApplication::applicationDisplayName(), message,
                    QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void TQtViewerDialogs::ShowFatal(const QString& message)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Fehler"), message, QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

QString TQtViewerDialogs::ChooseLogFile(QWidget* parent, const QString& defaultFileName)
{
    QFileDialog dialog(parent, QStringLiteral("Statistik-Protokoll laden"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // Qt's own dialog: its texts come from Qt's German translation, and its name filters match
    // without regard to letter case (no QDir::CaseSensitive), so "*.mpr" lists "LOG.MPR" too.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    dialog.setNameFilter(QStringLiteral("Statistik-Protokoll-Datei (*.mpr)"));
    // A typed name without extension means the usual lower-case one on a case-sensitive disk.
    dialog.setDefaultSuffix(QStringLiteral("mpr"));
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (!ExecuteInFileFolder(dialog, defaultFileName))
        return QString();
    const QStringList chosen = dialog.selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.first();
}

void TQtViewerDialogs::ShowWarning(QWidget* parent, const QString& message)
{
    QMessageBox box(QMessageBox::Warning, QApplication::applicationDisplayName(), message,
                    QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

QString TQtViewerDialogs::ChooseSaveFile(QWidget* parent, const QString& title,
                                         const QString& suggestedPath, const QString& filter,
                                         const QString& suffix)
{
    QFileDialog dialog(parent, title);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(suffix);
    if (!ExecuteInFileFolder(dialog, suggestedPath))
        return QString();
    const QStringList chosen = dialog.selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.first();
}
