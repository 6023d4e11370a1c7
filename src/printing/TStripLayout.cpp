#include "TStripLayout.h"

#include "TQRCanvas.h"
#include "TReportGrid.h"
#include "TReportMeasures.h"

#include <QtMath>

#include <algorithm>
#include <unordered_map>

namespace {

// A width that reaches the printable width by a rounding hair still reaches it.
constexpr double kWidthTolerance = 1e-9;
// What fixed columns cut to let a table fit one strip leave beside it.
constexpr double kOneStripMargin = 1.0;

} // namespace

TStripLayout::TStripLayout(const TQRCanvas& canvas, const QFont& font, TReportMeasures& measures)
    : m_canvas(canvas)
    , m_font(font)
    , m_measures(measures)
    , m_device(QStringLiteral("%1 %2 %3")
                   .arg(canvas.XFactor(), 0, 'g', 17)
                   .arg(canvas.YFactor(), 0, 'g', 17)
                   .arg(font.key()))
{
}

int TStripLayout::TextWidth(const QString& text) const
{
    return qCeil(m_canvas.TextWidth(m_font, text, m_canvas.WidthPixels()));
}

std::vector<double> TStripLayout::ColumnWidths(const TStripTable& table)
{
    m_dataWidth = -1;
    const double factor = m_canvas.XFactor();
    std::vector<double> widths(std::size_t(table.Grid->ColCount()));
    for (int c = 0; c < table.Grid->ColCount(); ++c)
        widths[std::size_t(c)] = (measureColumn(table, c) + 1) / factor;
    return widths;
}

int TStripLayout::measureColumn(const TStripTable& table, int c)
{
    const int rows = table.Grid->RowCount();
    if (table.SharedDataWidth && c >= table.Grid->FixedCols())
        return measureDataColumns(table);
    if (c != table.CaptionColumn)
        return measureCells(table, c, 0, rows - 1, QStringLiteral("all"));
    int before = 0;
    for (int k = 0; k < c; ++k)
        before += measureColumn(table, k);
    int widest = measureCells(table, c, 0, rows - 3, QStringLiteral("body"));
    if (rows >= 2)
        widest = std::max(widest, TextWidth(table.Sum1Caption) - before);
    if (rows >= 1)
        widest = std::max(widest, TextWidth(table.Sum2Caption) - before);
    return widest;
}

int TStripLayout::measureCells(const TStripTable& table, int c, int first, int last,
                               const QString& part)
{
    return m_measures.Width(m_device, table.ColumnKey(c) + QLatin1Char(' ') + part, [&] {
        int widest = 0;
        for (int r = std::max(0, first); r <= last && r < table.Grid->RowCount(); ++r)
            widest = std::max(widest, TextWidth(table.CellText(c, r)));
        return widest;
    });
}

int TStripLayout::measureDataColumns(const TStripTable& table)
{
    if (m_dataWidth >= 0)
        return m_dataWidth;
    m_dataWidth = m_measures.Width(m_device, QStringLiteral("Matrix data"), [&] {
        // Millions of cells but few distinct texts: measuring each text once gives the same
        // widths.
        std::unordered_map<QString, int> widths;
        int widest = 0;
        for (int k = table.Grid->FixedCols(); k < table.Grid->ColCount(); ++k) {
            for (int r = 0; r < table.Grid->RowCount(); ++r) {
                const QString text = table.CellText(k, r);
                auto found = widths.find(text);
                if (found == widths.end())
                    found = widths.emplace(text, TextWidth(text)).first;
                widest = std::max(widest, found->second);
            }
        }
        return widest;
    });
    return m_dataWidth;
}

int TStripLayout::Split(std::vector<ColumnLayout>& columns, int fixedCols, const TStripRoom& room)
{
    CapWidths(columns, fixedCols, room);
    const double W = room.Width;
    const double C = room.Gap;
    int strip = 0;
    double fixed = 0;
    double run = 0;
    for (int c = 0; c < int(columns.size()); ++c) {
        ColumnLayout& column = columns[std::size_t(c)];
        if (c < fixedCols) {
            fixed += column.Width + C;
            run = 0;
        } else {
            run += column.Width + C;
            if (fixed + run >= W - kWidthTolerance) {
                ++strip;
                run = column.Width + C;
            }
        }
        column.Strip = strip;
    }
    return strip;
}

void TStripLayout::CapWidths(std::vector<ColumnLayout>& columns, int fixedCols,
                             const TStripRoom& room)
{
    const double W = room.Width;
    const double C = room.Gap;
    const int count = int(columns.size());
    const int fixedCount = std::min(fixedCols, count);
    double data = 0;
    for (int c = fixedCount; c < count; ++c)
        data += columns[std::size_t(c)].Width + C;
    const double share = W / room.FixedShareDivisor;
    // Short of the printable width by more than the strips' rounding tolerance.
    const double budget = std::max(share, W - data - kOneStripMargin);
    double fixed = 0;
    std::vector<double> widths;
    for (int c = 0; c < fixedCount; ++c) {
        fixed += columns[std::size_t(c)].Width + C;
        widths.push_back(columns[std::size_t(c)].Width);
    }
    if (fixed > budget) {
        // The level at which the fixed widths, none above it, fill the budget.
        std::sort(widths.begin(), widths.end());
        double left = budget - fixedCount * C;
        double level = 0;
        for (std::size_t i = 0; i < widths.size(); ++i) {
            level = std::max(0.0, left / double(widths.size() - i));
            if (level <= widths[i])
                break;
            left -= widths[i];
        }
        fixed = 0;
        for (int c = 0; c < fixedCount; ++c) {
            double& width = columns[std::size_t(c)].Width;
            width = std::min(width, level);
            fixed += width + C;
        }
    }
    const double rest = std::max(0.0, W - fixed - C);
    for (int c = fixedCount; c < count; ++c)
        columns[std::size_t(c)].Width = std::min(columns[std::size_t(c)].Width, rest);
}
