#include "TGridCopy.h"

#include "TStringGrid.h"

#include <QMimeData>

#include <algorithm>
#include <vector>

namespace {

bool NeedsQuotes(const QString& text)
{
    for (const QChar ch : text) {
        const char16_t code = ch.unicode();
        if (code == u'\t' || code == u'\n' || code == u'\r' || code == u'"')
            return true;
    }
    return false;
}

void AppendTsvField(QString& out, const QString& text)
{
    if (!NeedsQuotes(text)) {
        out += text;
        return;
    }
    QString field = text;
    field.replace(QLatin1Char('"'), QLatin1String("\"\""));
    out += QLatin1Char('"') + field + QLatin1Char('"');
}

qint64 Span(int first, int last) { return last >= first ? qint64(last) - first + 1 : 0; }

} // namespace

TGridCopy::TGridCopy(CellText text, int fixedCols, int fixedRows, int left, int top, int right,
                     int bottom)
    : m_text(std::move(text))
    , m_fixedCols(std::max(0, fixedCols))
    , m_fixedRows(std::max(0, fixedRows))
    // The block never reaches into the fixed cells, which it adds of its own.
    , m_left(std::max(left, m_fixedCols))
    , m_top(std::max(top, m_fixedRows))
    , m_right(right)
    , m_bottom(bottom)
{
}

TGridCopy TGridCopy::OfGrid(const TStringGrid& grid, const CellText& text, bool all)
{
    const int fixedCols = std::min(grid.FixedCols(), grid.ColCount());
    const int fixedRows = std::min(grid.FixedRows(), grid.RowCount());
    if (all)
        return TGridCopy(text, fixedCols, fixedRows, fixedCols, fixedRows, grid.ColCount() - 1,
                         grid.RowCount() - 1);
    const TGridSelection& selection = grid.Selection();
    if (selection.IsEmpty())
        return TGridCopy(text, 0, 0, 0, 0, -1, -1);
    return TGridCopy(text, fixedCols, fixedRows, selection.Left(), selection.Top(),
                     selection.Right(), selection.Bottom());
}

qint64 TGridCopy::CellCount() const
{
    const qint64 cols = m_fixedCols + Span(m_left, m_right);
    const qint64 rows = m_fixedRows + Span(m_top, m_bottom);
    return cols * rows;
}

// Calls visit(row, columns, fixed row) for every row of the copy, fixed rows first.
template <class Visit> void TGridCopy::forEachRow(const Visit& visit) const
{
    if (CellCount() == 0)
        return;
    std::vector<int> cols;
    cols.reserve(static_cast<size_t>(m_fixedCols + Span(m_left, m_right)));
    for (int c = 0; c < m_fixedCols; ++c)
        cols.push_back(c);
    for (int c = m_left; c <= m_right; ++c)
        cols.push_back(c);
    for (int r = 0; r < m_fixedRows; ++r)
        visit(r, cols, true);
    for (int r = m_top; r <= m_bottom; ++r)
        visit(r, cols, false);
}

QString TGridCopy::Tsv() const
{
    QString text;
    // Grid cells are short: a few characters and a separator each, so the text seldom grows.
    text.reserve(static_cast<qsizetype>(std::min<qint64>(CellCount() * 4, MaxCells * 4)));
    forEachRow([&](int r, const std::vector<int>& cols, bool) {
        for (size_t i = 0; i < cols.size(); ++i) {
            if (i > 0)
                text += QLatin1Char('\t');
            AppendTsvField(text, m_text(cols[i], r));
        }
        text += QLatin1Char('\n');
    });
    return text;
}

QString TGridCopy::Html() const
{
    QString html = QStringLiteral("<html><head><meta charset=\"utf-8\"></head><body>"
                                  "<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\">\n");
    forEachRow([&](int r, const std::vector<int>& cols, bool fixedRow) {
        html += QLatin1String("<tr>");
        for (int c : cols) {
            const bool header = fixedRow || c < m_fixedCols;
            html += QLatin1String(header ? "<th>" : "<td>");
            html += m_text(c, r).toHtmlEscaped();
            html += QLatin1String(header ? "</th>" : "</td>");
        }
        html += QLatin1String("</tr>\n");
    });
    html += QLatin1String("</table></body></html>\n");
    return html;
}

std::unique_ptr<QMimeData> TGridCopy::MimeData() const
{
    if (TooLarge())
        return nullptr;
    auto data = std::make_unique<QMimeData>();
    data->setText(Tsv());
    if (CellCount() <= MaxHtmlCells)
        data->setHtml(Html());
    return data;
}
