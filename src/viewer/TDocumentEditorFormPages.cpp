// FillPages and the drawing of the four pages of the main window.
#include "TDocumentEditorForm.h"

#include "QtText.h"
#include "TAddColInfo.h"
#include "TElidedLabel.h"
#include "TFilesTable.h"
#include "TLocale.h"
#include "TMatrixTable.h"
#include "TRatingsTable.h"
#include "TStringGrid.h"
#include "TTitlePage.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QtMath>

#include <algorithm>

namespace {

// No screen shows more of a one-line label than this many characters of at least a pixel each;
// a longer text would only be laid out to be clipped.
constexpr int kVisibleLineLength = 8192;
void FillCell(const TStringGrid& grid, QPainter& painter, const QRect& rect,
              const TCellColour& colour, const QString& text)
{
    painter.fillRect(rect, QColor(colour.Red, colour.Green, colour.Blue));
    painter.setPen(Qt::black);
    // Placed as the grid places its own texts, so coloured and plain cells of a row line up.
    painter.drawText(rect.adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter,
                     grid.VisibleText(text, rect));
}

QString VisibleLine(const std::string& text)
{
    return FromCp1252(text.substr(0, kVisibleLineLength));
}

// Widths of cell texts as a canvas measures text: the sum of the characters' advances, from a
// table of the 256 code page characters. A look-up per character, no shaping: a files table of
// millions of measured cells is measured at once, and a huge text only as far as a column shows.
class TCellMeasure {
public:
    explicit TCellMeasure(const QFont& font)
    {
        const QFontMetricsF metrics(font);
        for (int c = 0; c < 256; ++c)
            m_advance[c] = metrics.horizontalAdvance(FromCp1252(std::string(1, char(c))));
    }
    int operator()(const std::string& text) const
    {
        qreal width = 0;
        for (const char c : text) {
            width += m_advance[static_cast<unsigned char>(c)];
            if (width >= TStringGrid::MaxColWidth)
                return TStringGrid::MaxColWidth;
        }
        return qCeil(width);
    }

private:
    qreal m_advance[256];
};

} // namespace

void TDocumentEditorForm::FillPages()
{
    // Measured in the font of the editor panel, as the grids show their texts.
    const QFontMetrics measure(EditorPanel->font());
    const int textHeight = measure.height() + 3;
    const int rowHeight = textHeight + 4;

    m_filesTable = std::make_unique<TFilesTable>(*m_document);
    m_matrixTable = std::make_unique<TMatrixTable>(*m_document);
    m_ratingsTable = std::make_unique<TRatingsTable>(*m_document);
    DigitWidth = measure.horizontalAdvance(QStringLiteral("2"));

    FillTitlePage();
    FillFilesPage(rowHeight);
    FillMatrixPage(rowHeight);
    FillRatingsPage(rowHeight);
    PlaceSumPanels();
}

void TDocumentEditorForm::FillTitlePage()
{
    const TTitlePage title(*m_document);
    CustomerDisplay->setText(VisibleLine(title.Customer));
    HeadDisplay->setText(VisibleLine(title.Head));
    TaskDisplay->setText(VisibleLine(title.Task));
    PercentDisplay->setText(VisibleLine(title.Percent));
    SingleNrDisplay->setText(VisibleLine(title.SingleNr));
    QStringList lines;
    lines.reserve(static_cast<int>(title.Info.size()));
    for (const std::string& line : title.Info)
        lines << FromCp1252(line);
    InfoMemo->setPlainText(lines.join(QLatin1Char('\n')));
}

void TDocumentEditorForm::FillFilesPage(int rowHeight)
{
    TFilesTable& files = *m_filesTable;
    FilesGrid->ClearCells();
    FilesGrid->SetCellTextSource(nullptr);
    FilesGrid->SetRowCount(files.RowCount());
    FilesGrid->SetColCount(files.ColCount());
    FilesGrid->SetFixedRows(TFilesTable::FixedRows);
    FilesGrid->SetFixedCols(files.FixedCols());
    FilesGrid->SetDefaultRowHeight(rowHeight);
    FilesGrid->SetDefaultColWidth(48);
    const TFilesTable* table = m_filesTable.get();
    FilesGrid->SetCellTextSource(
        [table](int col, int row) { return FromCp1252(table->GridCellText(col, row)); });

    const QFontMetrics measure(EditorPanel->font());
    std::vector<int> widths = files.ColumnWidths(TCellMeasure(EditorPanel->font()), DigitWidth);
    const int gridLine = FilesGrid->GridLineWidth();
    int leftOfNumber = 0;
    for (int c = 0; c < files.ColCount() && c <= files.NameColumnCount; ++c) {
        if (c == files.NameColumnCount && files.SumPanelsEnabled) {
            const int captions = std::min(measure.horizontalAdvance(Sum2Panel->text()),
                                          measure.horizontalAdvance(Sum1Panel->text()));
            widths[c] = std::max(widths[c], captions + 24 - leftOfNumber);
        }
        leftOfNumber += widths[c] + gridLine;
    }
    FilesGrid->SetColWidths(widths);

    for (int c = 0; c < files.ColCount(); ++c) {
        const auto properties = files.AddColInfo(c);
        if (!properties)
            continue;
        auto* info = FilesGrid->ObjectAs<TAddColInfo>(c);
        if (!info) {
            auto owned = std::make_unique<TAddColInfo>();
            info = owned.get();
            FilesGrid->SetObject(c, std::move(owned));
        }
        info->Properties = *properties;
    }
    LegendPanel->setText(FromCp1252(files.BuildLegend()));
    FilesGrid->viewport()->update();
}

void TDocumentEditorForm::FillMatrixPage(int rowHeight)
{
    const TMatrixTable& matrix = *m_matrixTable;
    const int index = PageControl->indexOf(MatrixSheet);
    PageControl->setTabVisible(index, matrix.Visible());
    MatrixGrid->SetCellTextSource(nullptr);
    if (!matrix.Visible())
        return;
    MatrixTypePanel->setText(FromCp1252(matrix.Title()));
    MatrixGrid->SetRowCount(matrix.RowCount());
    MatrixGrid->SetColCount(matrix.ColCount());
    MatrixGrid->SetFixedRows(TMatrixTable::FixedRows);
    MatrixGrid->SetFixedCols(matrix.FixedCols());
    MatrixGrid->SetDefaultRowHeight(rowHeight);
    // The label columns as wide as the files page's, measured there.
    const TFilesTable& files = *m_filesTable;
    MatrixGrid->SetDefaultColWidth(files.NumberWidth(DigitWidth) + 8);
    if (matrix.ShowsIdent)
        MatrixGrid->SetColWidth(0, files.FileColumnWidth + 8);
    if (matrix.ShowsName)
        MatrixGrid->SetColWidth(matrix.NameColumnCount - 1, files.FileNameColumnWidth + 8);
    const TMatrixTable* table = m_matrixTable.get();
    MatrixGrid->SetCellTextSource(
        [table](int col, int row) { return FromCp1252(table->CellText(col, row)); });
    MatrixGrid->viewport()->update();
}

void TDocumentEditorForm::FillRatingsPage(int rowHeight)
{
    const TRatingsTable& ratings = *m_ratingsTable;
    const int index = PageControl->indexOf(RatingsSheet);
    PageControl->setTabVisible(index, ratings.Visible());
    RatingsGrid->SetCellTextSource(nullptr);
    if (!ratings.Visible())
        return;
    RatingsGrid->SetColCount(TRatingsTable::ColCount);
    RatingsGrid->SetRowCount(ratings.RowCount());
    RatingsGrid->SetFixedRows(TRatingsTable::FixedRows);
    RatingsGrid->SetFixedCols(TRatingsTable::FixedCols);
    RatingsGrid->SetDefaultRowHeight(rowHeight);
    const QFontMetrics measure(RatingsGrid->font());
    RatingsGrid->SetDefaultColWidth(measure.horizontalAdvance(FromCp1252(Locale().RecordsLabel)) +
                                    16);
    FitRatingsColumn();
    const TRatingsTable* table = m_ratingsTable.get();
    RatingsGrid->SetCellTextSource(
        [table](int col, int row) { return FromCp1252(table->CellText(col, row)); });
    RatingsGrid->viewport()->update();
}

void TDocumentEditorForm::FitRatingsColumn()
{
    const int client = PageControl->contentsRect().width();
    RatingsGrid->SetColWidth(1, std::max(0, client - RatingsGrid->ColWidth(0) - 14));
}

void TDocumentEditorForm::PlaceSumPanels()
{
    const int top = FilesGrid->TopRow();
    const int visible = FilesGrid->VisibleRowCount();
    const int rows = FilesGrid->RowCount();
    if (!m_filesTable || rows - 1 > top + visible || !m_filesTable->SumPanelsEnabled) {
        Sum1Panel->hide();
        Sum2Panel->hide();
        return;
    }
    const int g = FilesGrid->GridLineWidth();
    const int h = FilesGrid->DefaultRowHeight();
    int width = -g;
    for (int c = 0; c <= m_filesTable->NameColumnCount && c < FilesGrid->ColCount(); ++c)
        width += FilesGrid->ColWidth(c) + g;
    // Row tops in viewport coordinates, mapped to the files page the panels belong to.
    const QPoint origin = FilesGrid->viewport()->mapTo(FilesSheet, QPoint(0, 0));
    const int y = (rows - top) * (h + g);
    Sum1Panel->setGeometry(origin.x(), origin.y() + y, width, h);
    Sum1Panel->show();
    Sum1Panel->raise();
    if (top + visible >= rows) {
        Sum2Panel->setGeometry(origin.x(), origin.y() + y + g + h, width, h);
        Sum2Panel->show();
        Sum2Panel->raise();
    } else {
        Sum2Panel->hide();
    }
}

QString TDocumentEditorForm::FilesGridShownText(int col, int row) const
{
    if (m_filesTable && m_filesTable->SumPanelsEnabled && col <= m_filesTable->NameColumnCount &&
        row >= m_filesTable->SumWithoutRow()) {
        if (col > 0)
            return QString();
        const QLabel* panel = row == m_filesTable->SumWithoutRow() ? Sum1Panel : Sum2Panel;
        return panel->text().trimmed();
    }
    return FilesGrid->Cell(col, row);
}

void TDocumentEditorForm::FilesGridDrawCell(int col, int row, const QRect& rect, QPainter& painter)
{
    if (!m_filesTable)
        return;
    const TOptionalColour colour = m_filesTable->CellColour(col, row);
    if (colour)
        FillCell(*FilesGrid, painter, rect, *colour, FilesGrid->Cell(col, row));
}

void TDocumentEditorForm::MatrixGridDrawCell(int col, int row, const QRect& rect, QPainter& painter)
{
    if (!m_matrixTable)
        return;
    const TOptionalColour colour = m_matrixTable->CellColour(col, row);
    if (colour)
        FillCell(*MatrixGrid, painter, rect, *colour, MatrixGrid->Cell(col, row));
}
