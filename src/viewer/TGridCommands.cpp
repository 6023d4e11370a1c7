#include "TGridCommands.h"

#include "AtomicFile.h"
#include "GridCsv.h"
#include "QtText.h"
#include "TDocumentEditorForm.h"
#include "TStringGrid.h"
#include "TViewerDialogs.h"
#include "TWaitCursor.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeySequence>
#include <QLocale>
#include <QMenu>
#include <QMimeData>

#include <new>
#include <optional>
#include <ostream>
#include <streambuf>

namespace {

// Copies of this many cells take long enough to be noticed.
constexpr qint64 kWaitCursorCells = 200'000;

// A stream into an AtomicFile, so the CSV goes out row by row rather than whole through memory.
class TAtomicFileBuffer : public std::streambuf {
public:
    explicit TAtomicFileBuffer(AtomicFile& file)
        : m_file(file)
    {
    }

protected:
    std::streamsize xsputn(const char* data, std::streamsize size) override
    {
        return m_file.Write(data, static_cast<std::size_t>(size)) ? size : 0;
    }
    int_type overflow(int_type c) override
    {
        if (traits_type::eq_int_type(c, traits_type::eof()))
            return traits_type::not_eof(c);
        const char byte = traits_type::to_char_type(c);
        return m_file.Write(&byte, 1) ? c : traits_type::eof();
    }

private:
    AtomicFile& m_file;
};

QString Count(qint64 value) { return QLocale(QLocale::German).toString(value); }

} // namespace

TGridCommands::TGridCommands(TStringGrid& grid, TDocumentEditorForm& form, std::string csvGrid,
                             QString pageName, TGridCopy::CellText text)
    : QObject(&grid)
    , m_grid(grid)
    , m_form(form)
    , m_csvGrid(std::move(csvGrid))
    , m_pageName(std::move(pageName))
    , m_text(std::move(text))
{
    setObjectName(m_grid.objectName() + QStringLiteral("Commands"));
    m_menu = new QMenu(&m_grid);
    CopyAction = m_menu->addAction(QStringLiteral("Kopieren"));
    CopyAction->setShortcut(QKeySequence::Copy);
    CopyAllAction = m_menu->addAction(QStringLiteral("Alles kopieren"));
    m_menu->addSeparator();
    SaveCsvAction = m_menu->addAction(QStringLiteral("Als CSV speichern…"));
    // The grid answers Ctrl+C itself; the menu only shows the key.
    CopyAction->setShortcutContext(Qt::WidgetShortcut);
    connect(CopyAction, &QAction::triggered, this, [this] { Copy(false); });
    connect(CopyAllAction, &QAction::triggered, this, [this] { Copy(true); });
    connect(SaveCsvAction, &QAction::triggered, this, &TGridCommands::SaveCsv);
    connect(&m_grid, &TStringGrid::copyRequested, this, [this] { Copy(false); });
    connect(&m_grid, &TStringGrid::contextMenuRequested, this, &TGridCommands::ShowMenu);
}

TGridCommands::~TGridCommands() = default;

void TGridCommands::ShowMenu(const QPoint& globalPos)
{
    CopyAction->setEnabled(!m_grid.Selection().IsEmpty());
    m_menu->exec(globalPos);
}

void TGridCommands::Copy(bool all)
{
    const TGridCopy copy = TGridCopy::OfGrid(m_grid, m_text, all);
    if (copy.CellCount() == 0)
        return;
    if (copy.TooLarge()) {
        TViewerDialogs::Current().ShowWarning(
            &m_grid, QStringLiteral("%1 ist mit %2 Zellen zu groß zum Kopieren; kopiert werden "
                                    "höchstens %3 Zellen. „Als CSV speichern…“ schreibt die "
                                    "ganze Tabelle in eine Datei.")
                         .arg(all ? QStringLiteral("Die Tabelle") : QStringLiteral("Die Auswahl"),
                              Count(copy.CellCount()), Count(TGridCopy::MaxCells)));
        return;
    }
    try {
        std::unique_ptr<QMimeData> data;
        {
            std::optional<TWaitCursor> wait;
            if (copy.CellCount() >= kWaitCursorCells)
                wait.emplace();
            data = copy.MimeData();
        }
        QApplication::clipboard()->setMimeData(data.release());
    } catch (const std::bad_alloc&) {
        TViewerDialogs::Current().ShowError(
            &m_grid, QStringLiteral("Für das Kopieren von %1 Zellen reicht der Speicher nicht.")
                         .arg(Count(copy.CellCount())));
    }
}

QString TGridCommands::SuggestedCsvPath() const
{
    const QFileInfo log(m_form.FileName());
    return log.dir().filePath(log.completeBaseName() + QLatin1Char('-') + m_pageName +
                              QStringLiteral(".csv"));
}

void TGridCommands::SaveCsv()
{
    const QString path = TViewerDialogs::Current().ChooseSaveFile(
        &m_grid, QStringLiteral("Als CSV speichern"), SuggestedCsvPath(),
        QStringLiteral("CSV-Datei (*.csv)"), QStringLiteral("csv"));
    if (path.isEmpty())
        return;
    try {
        WriteCsv(path);
    } catch (const std::exception& e) {
        TViewerDialogs::Current().ShowError(&m_grid, FromUtf8(e.what()));
    }
}

void TGridCommands::WriteCsv(const QString& path) const
{
    const TWaitCursor wait;
    // The file appears only when complete, and never in place of the log shown.
    AtomicFile file(QFile::encodeName(path).toStdString(),
                    {QFile::encodeName(m_form.FileName()).toStdString()});
    TAtomicFileBuffer buffer(file);
    std::ostream out(&buffer);
    try {
        WriteGridCsv(out, m_form.Document(), m_csvGrid);
        out.flush();
        CheckOutputStream(out);
    } catch (const EOutputError&) {
        // The file's own failure names it and says why; the stream only knows that it failed.
        file.ThrowIfFailed();
        throw;
    }
    file.Commit();
}
