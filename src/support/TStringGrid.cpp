#include "TStringGrid.h"

#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QToolTip>

#include <algorithm>

namespace {

constexpr int kTextInset = 2;
// How strongly the selection's shade tints a cell: light enough that the text stays readable
// and the current cell's solid highlight stands out within the block.
constexpr qreal kSelectionShade = 0.3;
constexpr qsizetype kMaxToolTipLength = 4096;

quint64 cellKey(int col, int row) { return (quint64(quint32(row)) << 32) | quint32(col); }

int keyCol(quint64 key) { return int(quint32(key)); }

int keyRow(quint64 key) { return int(quint32(key >> 32)); }

bool isCellTab(const QKeyEvent& event)
{
    const bool tab = event.key() == Qt::Key_Tab || event.key() == Qt::Key_Backtab;
    return tab && !(event.modifiers() & (Qt::ControlModifier | Qt::AltModifier));
}

// Clamps an index to [first, last] of the scrolling cells, or -1 when there are none.
int clampScrolling(int index, int first, int count)
{
    if (first >= count)
        return -1;
    return std::clamp(index, first, count - 1);
}

} // namespace

TStringGrid::TStringGrid(QWidget* parent)
    : QAbstractScrollArea(parent)
    , m_colWidths(m_colCount, m_defaultColWidth)
    , m_objects(m_colCount)
{
    setFocusPolicy(Qt::StrongFocus);
    // Every pixel of a paint event is painted, so Qt need not clear the background first.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    for (QScrollBar* bar : {verticalScrollBar(), horizontalScrollBar()}) {
        bar->setSingleStep(1);
        bar->setTracking(true);
    }
    relayout(m_leftCol, m_topRow);
    resetSelection();
}

TStringGrid::~TStringGrid() = default;

void TStringGrid::SetRowCount(int count)
{
    count = std::max(0, count);
    if (count == m_rowCount)
        return;
    const bool shrinking = count < m_rowCount;
    m_rowCount = count;
    if (shrinking)
        dropCellsOutside();
    moveCurrent(m_col, m_row);
    relayout(m_leftCol, m_topRow);
    resetSelection();
}

void TStringGrid::SetColCount(int count)
{
    count = std::max(0, count);
    if (count == m_colCount)
        return;
    const bool shrinking = count < m_colCount;
    m_colCount = count;
    m_colWidths.resize(count, m_defaultColWidth);
    m_objects.resize(count);
    if (shrinking)
        dropCellsOutside();
    moveCurrent(m_col, m_row);
    relayout(m_leftCol, m_topRow);
    resetSelection();
}

void TStringGrid::SetFixedRows(int count)
{
    count = std::max(0, count);
    if (count == m_fixedRows)
        return;
    m_fixedRows = count;
    resetTopLeftAndCurrent();
}

void TStringGrid::SetFixedCols(int count)
{
    count = std::max(0, count);
    if (count == m_fixedCols)
        return;
    m_fixedCols = count;
    resetTopLeftAndCurrent();
}

void TStringGrid::SetDefaultRowHeight(int height)
{
    height = std::max(1, height);
    if (height == m_rowHeight)
        return;
    m_rowHeight = height;
    relayout(m_leftCol, m_topRow);
}

void TStringGrid::SetDefaultColWidth(int width)
{
    m_defaultColWidth = std::clamp(width, 0, MaxColWidth);
    std::fill(m_colWidths.begin(), m_colWidths.end(), m_defaultColWidth);
    relayout(m_leftCol, m_topRow);
}

int TStringGrid::ColWidth(int col) const
{
    if (col < 0 || col >= m_colCount)
        return 0;
    return m_colWidths[col];
}

void TStringGrid::SetColWidth(int col, int width)
{
    if (col < 0 || col >= m_colCount)
        return;
    width = std::clamp(width, 0, MaxColWidth);
    if (width == m_colWidths[col])
        return;
    m_colWidths[col] = width;
    relayout(m_leftCol, m_topRow);
}

void TStringGrid::SetColWidths(const std::vector<int>& widths)
{
    const size_t count = std::min(widths.size(), m_colWidths.size());
    for (size_t c = 0; c < count; ++c)
        m_colWidths[c] = std::clamp(widths[c], 0, MaxColWidth);
    relayout(m_leftCol, m_topRow);
}

void TStringGrid::SetGridLineWidth(int width)
{
    width = std::max(0, width);
    if (width == m_gridLineWidth)
        return;
    m_gridLineWidth = width;
    relayout(m_leftCol, m_topRow);
}

void TStringGrid::SetTopRow(int row) { moveTopLeft(m_leftCol, row); }

void TStringGrid::SetLeftCol(int col) { moveTopLeft(col, m_topRow); }

int TStringGrid::VisibleRowCount() const
{
    return std::clamp(rowsFitting(), 0, std::max(0, m_rowCount - m_topRow));
}

int TStringGrid::VisibleColCount() const
{
    const int avail = scrollWidth();
    int used = 0;
    int count = 0;
    for (int c = m_leftCol; c < m_colCount; ++c, ++count) {
        used += colExtent(c);
        if (used > avail)
            break;
    }
    return count;
}

void TStringGrid::SetCurrentCell(int col, int row)
{
    moveCurrent(col, row);
    scrollIntoView(m_col, m_row);
    resetSelection();
}

void TStringGrid::SelectAll()
{
    m_selection.SelectAll(selectionBounds());
    viewport()->update();
}

void TStringGrid::ClearSelection() { resetSelection(); }

void TStringGrid::SelectBlock(int left, int top, int right, int bottom)
{
    const TGridSelection::Bounds bounds = selectionBounds();
    m_selection.SelectCell(left, top, bounds);
    m_selection.ExtendTo(right, bottom, bounds);
    viewport()->update();
}

QString TStringGrid::Cell(int col, int row) const
{
    if (!m_cells.empty()) {
        const auto it = m_cells.find(cellKey(col, row));
        if (it != m_cells.end())
            return it->second;
    }
    if (m_source && col >= 0 && col < m_colCount && row >= 0 && row < m_rowCount)
        return m_source(col, row);
    return {};
}

void TStringGrid::SetCell(int col, int row, const QString& text)
{
    if (col < 0 || col >= m_colCount || row < 0 || row >= m_rowCount)
        return;
    m_cells[cellKey(col, row)] = text;
    viewport()->update(CellRect(col, row));
}

void TStringGrid::ClearCells()
{
    m_cells.clear();
    viewport()->update();
}

void TStringGrid::SetCellTextSource(CellTextSource source)
{
    m_source = std::move(source);
    resetSelection();
    viewport()->update();
}

TGridObject* TStringGrid::Object(int col) const
{
    if (col < 0 || col >= m_colCount)
        return nullptr;
    return m_objects[col].get();
}

void TStringGrid::SetObject(int col, std::unique_ptr<TGridObject> object)
{
    if (col < 0 || col >= m_colCount)
        return;
    m_objects[col] = std::move(object);
}

void TStringGrid::SetOnDrawCell(DrawCellHandler handler)
{
    m_onDrawCell = std::move(handler);
    viewport()->update();
}

QString TStringGrid::VisibleText(const QString& text, const QRect& rect) const
{
    const int visible = std::min(rect.right(), viewport()->width()) - std::max(rect.left(), 0);
    const qsizetype fitting = std::max(0, visible) + 2;
    if (text.size() <= fitting)
        return text;
    // A pair of surrogates stays whole.
    return text.left(text.at(fitting - 1).isHighSurrogate() ? fitting + 1 : fitting);
}

QRect TStringGrid::CellRect(int col, int row) const
{
    if (col < 0 || col >= m_colCount || row < 0 || row >= m_rowCount)
        return {};
    const int fc = fixedColsInUse();
    if (col >= fc && col < m_leftCol)
        return {};
    const int fr = fixedRowsInUse();
    if (row >= fr && row < m_topRow)
        return {};

    const int width = viewport()->width();
    qint64 x = 0;
    for (int c = col < fc ? 0 : m_leftCol; c < col && x < width; ++c)
        x += colExtent(c);
    if (col >= fc)
        x += fixedWidth();
    const qint64 y =
        row < fr ? qint64(row) * rowExtent() : fixedHeight() + qint64(row - m_topRow) * rowExtent();
    if (x >= width || y >= viewport()->height())
        return {};
    return QRect(int(x), int(y), m_colWidths[col], m_rowHeight);
}

QPoint TStringGrid::MouseToCell(const QPoint& pos) const
{
    QPoint cell(-1, -1);
    if (pos.x() >= 0 && pos.x() < viewport()->width()) {
        int edge = 0;
        for (int c = 0, fc = fixedColsInUse(); c < fc && cell.x() < 0; ++c) {
            edge += colExtent(c);
            if (pos.x() < edge)
                cell.setX(c);
        }
        for (int c = m_leftCol; c < m_colCount && cell.x() < 0; ++c) {
            edge += colExtent(c);
            if (pos.x() < edge)
                cell.setX(c);
        }
    }
    if (pos.y() >= 0 && pos.y() < viewport()->height()) {
        const int fixed = fixedHeight();
        const int row =
            pos.y() < fixed ? pos.y() / rowExtent() : m_topRow + (pos.y() - fixed) / rowExtent();
        if (row < m_rowCount)
            cell.setY(row);
    }
    return cell;
}

bool TStringGrid::event(QEvent* event)
{
    // Tab moves between cells instead of to the next widget.
    if (event->type() == QEvent::KeyPress && isCellTab(*static_cast<QKeyEvent*>(event)) &&
        m_col >= 0 && m_row >= 0) {
        keyPressEvent(static_cast<QKeyEvent*>(event));
        return true;
    }
    return QAbstractScrollArea::event(event);
}

void TStringGrid::SetOnShowFailure(ShowFailureHandler handler)
{
    m_onShowFailure = std::move(handler);
}

bool TStringGrid::viewportEvent(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QAbstractScrollArea::viewportEvent(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    try {
        const QString text = CutText(help->pos());
        if (text.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            const QPoint cell = MouseToCell(help->pos());
            QToolTip::showText(help->globalPos(), text, viewport(), CellRect(cell.x(), cell.y()));
        }
    } catch (...) {
        if (m_onShowFailure)
            m_onShowFailure(std::current_exception());
    }
    return true;
}

QString TStringGrid::CutText(const QPoint& pos) const
{
    const QPoint cell = MouseToCell(pos);
    if (cell.x() < 0 || cell.y() < 0)
        return QString();
    const QString text = Cell(cell.x(), cell.y());
    // Measured as paintCell draws it: from the inset to the cell's right edge. More characters
    // than pixels are cut whatever their widths; a tip shows no more than a screenful.
    const int room = ColWidth(cell.x()) - kTextInset;
    if (text.size() > kMaxToolTipLength)
        return text.left(kMaxToolTipLength) + QChar(0x2026);
    if (text.size() > room)
        return text;
    return fontMetrics().horizontalAdvance(text) > room ? text : QString();
}

void TStringGrid::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    try {
        paintCells(painter, event->rect());
    } catch (...) {
        // Nothing may pass through the toolkit's event handling; what is painted so far stays.
        if (m_onShowFailure)
            m_onShowFailure(std::current_exception());
    }
}

void TStringGrid::paintCells(QPainter& painter, const QRect& area)
{
    const int g = m_gridLineWidth;

    std::vector<Span> cols = visibleCols();
    const int cellsRight = cols.empty() ? 0 : cols.back().pos + cols.back().size + g;
    cols.erase(std::remove_if(cols.begin(), cols.end(),
                              [&](const Span& c) {
                                  return c.pos + c.size + g <= area.left() || c.pos > area.right();
                              }),
               cols.end());
    const std::vector<Span> rows = visibleRows();
    const int cellsBottom = rows.empty() ? 0 : rows.back().pos + rows.back().size + g;

    const int fr = fixedRowsInUse();
    const int fc = fixedColsInUse();
    const bool focused = hasFocus();
    for (const Span& row : rows) {
        if (row.pos + row.size + g <= area.top() || row.pos > area.bottom())
            continue;
        for (const Span& col : cols) {
            DrawState state;
            if (row.index < fr || col.index < fc)
                state |= FixedCell;
            else if (row.index == m_row && col.index == m_col)
                state |= focused ? DrawState(SelectedCell | FocusedCell) : SelectedCell;
            else if (m_selection.Contains(col.index, row.index))
                state |= MarkedCell;
            paintCell(painter, col, row, state);
        }
    }

    const QColor background = palette().color(QPalette::Base);
    if (cellsRight <= area.right())
        painter.fillRect(QRect(QPoint(cellsRight, area.top()), area.bottomRight()), background);
    if (cellsBottom <= area.bottom())
        painter.fillRect(QRect(QPoint(area.left(), cellsBottom), area.bottomRight()), background);

    if (focused) {
        const QRect current = CellRect(m_col, m_row);
        if (!current.isEmpty() && current.intersects(area)) {
            QStyleOptionFocusRect option;
            option.initFrom(this);
            option.rect = current;
            option.backgroundColor = palette().color(QPalette::Highlight);
            // Some styles frame only a focus that came from the keyboard; the current cell's
            // frame shows where keys act, however the focus came.
            option.state |= QStyle::State_KeyboardFocusChange;
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
        }
    }
}

void TStringGrid::paintCell(QPainter& painter, const Span& col, const Span& row, DrawState state)
{
    const QPalette& pal = palette();
    const bool fixed = state & FixedCell;
    const QRect rect(col.pos, row.pos, col.size, row.size);
    const int g = m_gridLineWidth;
    if (g > 0) {
        const QColor& line = pal.color(fixed ? QPalette::Dark : QPalette::Midlight);
        painter.fillRect(col.pos + col.size, row.pos, g, row.size + g, line);
        painter.fillRect(col.pos, row.pos + row.size, col.size, g, line);
    }
    if (rect.isEmpty())
        return;

    QPalette::ColorRole back = QPalette::Base;
    QPalette::ColorRole fore = QPalette::Text;
    if (fixed) {
        back = QPalette::Button;
        fore = QPalette::ButtonText;
    } else if (state & SelectedCell) {
        back = QPalette::Highlight;
        fore = QPalette::HighlightedText;
    }
    painter.fillRect(rect, pal.color(back));
    if (fixed && g > 0 && rect.width() > 1 && rect.height() > 1) {
        const QColor& light = pal.color(QPalette::Light);
        const QColor& shade = pal.color(QPalette::Mid);
        painter.fillRect(rect.left(), rect.top(), rect.width(), 1, light);
        painter.fillRect(rect.left(), rect.top(), 1, rect.height(), light);
        painter.fillRect(rect.left(), rect.bottom(), rect.width(), 1, shade);
        painter.fillRect(rect.right(), rect.top(), 1, rect.height(), shade);
    }

    const QString text = Cell(col.index, row.index);
    if (!text.isEmpty()) {
        painter.setPen(pal.color(fore));
        painter.drawText(rect.adjusted(kTextInset, 0, 0, 0),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         VisibleText(text, rect));
    }

    if (m_onDrawCell) {
        // Restored also when the handler fails.
        const struct Saved {
            QPainter& painter;
            explicit Saved(QPainter& p)
                : painter(p)
            {
                painter.save();
            }
            ~Saved() { painter.restore(); }
        } saved(painter);
        painter.setClipRect(rect, Qt::IntersectClip);
        m_onDrawCell(col.index, row.index, rect, state, painter);
    }
    if (state & MarkedCell) {
        QColor shade = pal.color(QPalette::Highlight);
        shade.setAlphaF(kSelectionShade);
        painter.fillRect(rect, shade);
    }
}

void TStringGrid::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    relayout(m_leftCol, m_topRow);
}

void TStringGrid::scrollContentsBy(int, int)
{
    // Also runs while the thumb is dragged (tracking), so the grid follows it live.
    if (m_syncingScrollBars)
        return;
    moveTopLeft(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

void TStringGrid::keyPressEvent(QKeyEvent* event)
{
    if (handleSelectionKey(*event) || handleNavigationKey(*event))
        event->accept();
    else
        event->ignore();
}

void TStringGrid::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    pressAt(event->position().toPoint(), event->modifiers() & Qt::ShiftModifier);
    event->accept();
}

void TStringGrid::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton)) {
        event->ignore();
        return;
    }
    dragTo(event->position().toPoint());
    event->accept();
}

void TStringGrid::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    m_drag = DragKind::None;
    event->accept();
}

void TStringGrid::contextMenuEvent(QContextMenuEvent* event)
{
    QPoint global = event->globalPos();
    if (event->reason() == QContextMenuEvent::Mouse) {
        // The menu acts on the selection: a click outside it makes the cell clicked the one.
        const QPoint cell = MouseToCell(viewport()->mapFromGlobal(global));
        if (cell.x() >= fixedColsInUse() && cell.y() >= fixedRowsInUse() &&
            !m_selection.Contains(cell.x(), cell.y()))
            selectCellAt(viewport()->mapFromGlobal(global));
    } else {
        const QRect current = CellRect(m_col, m_row);
        global = viewport()->mapToGlobal(current.isEmpty() ? QPoint(0, 0) : current.center());
    }
    emit contextMenuRequested(global);
    event->accept();
}

void TStringGrid::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    updateCurrentCell();
}

void TStringGrid::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    updateCurrentCell();
}

int TStringGrid::fixedRowsInUse() const { return std::min(m_fixedRows, m_rowCount); }

int TStringGrid::fixedColsInUse() const { return std::min(m_fixedCols, m_colCount); }

int TStringGrid::rowExtent() const { return m_rowHeight + m_gridLineWidth; }

int TStringGrid::colExtent(int col) const { return m_colWidths[col] + m_gridLineWidth; }

int TStringGrid::fixedHeight() const { return fixedRowsInUse() * rowExtent(); }

int TStringGrid::fixedWidth() const
{
    int width = 0;
    for (int c = 0, fc = fixedColsInUse(); c < fc; ++c)
        width += colExtent(c);
    return width;
}

int TStringGrid::scrollHeight() const { return std::max(0, viewport()->height() - fixedHeight()); }

int TStringGrid::scrollWidth() const { return std::max(0, viewport()->width() - fixedWidth()); }

int TStringGrid::rowsFitting() const { return scrollHeight() / rowExtent(); }

int TStringGrid::firstTopShowing(int row) const
{
    return std::max(fixedRowsInUse(), row - std::max(1, rowsFitting()) + 1);
}

int TStringGrid::firstLeftShowing(int col) const
{
    const int fc = fixedColsInUse();
    if (col < fc)
        return fc;
    const int avail = scrollWidth();
    int left = col;
    int used = colExtent(col);
    while (left > fc && used + colExtent(left - 1) <= avail)
        used += colExtent(--left);
    return left;
}

int TStringGrid::maxTopRow() const { return firstTopShowing(m_rowCount - 1); }

int TStringGrid::maxLeftCol() const { return firstLeftShowing(m_colCount - 1); }

std::vector<TStringGrid::Span> TStringGrid::visibleRows() const
{
    std::vector<Span> rows;
    const int height = viewport()->height();
    int y = 0;
    for (int r = 0, fr = fixedRowsInUse(); r < fr && y < height; ++r, y += rowExtent())
        rows.push_back({r, y, m_rowHeight});
    for (int r = m_topRow; r < m_rowCount && y < height; ++r, y += rowExtent())
        rows.push_back({r, y, m_rowHeight});
    return rows;
}

std::vector<TStringGrid::Span> TStringGrid::visibleCols() const
{
    std::vector<Span> cols;
    const int width = viewport()->width();
    int x = 0;
    for (int c = 0, fc = fixedColsInUse(); c < fc && x < width; x += colExtent(c++))
        cols.push_back({c, x, m_colWidths[c]});
    for (int c = m_leftCol; c < m_colCount && x < width; x += colExtent(c++))
        cols.push_back({c, x, m_colWidths[c]});
    return cols;
}

void TStringGrid::moveTopLeft(int col, int row)
{
    col = std::clamp(col, fixedColsInUse(), maxLeftCol());
    row = std::clamp(row, fixedRowsInUse(), maxTopRow());
    if (col == m_leftCol && row == m_topRow)
        return;
    m_leftCol = col;
    m_topRow = row;
    {
        QScopedValueRollback<bool> syncing(m_syncingScrollBars, true);
        horizontalScrollBar()->setValue(col);
        verticalScrollBar()->setValue(row);
    }
    viewport()->update();
    emit topLeftChanged();
}

bool TStringGrid::moveCurrent(int col, int row)
{
    col = clampScrolling(col, fixedColsInUse(), m_colCount);
    row = clampScrolling(row, fixedRowsInUse(), m_rowCount);
    if (col == m_col && row == m_row)
        return false;
    updateCurrentCell();
    m_col = col;
    m_row = row;
    updateCurrentCell();
    return true;
}

void TStringGrid::scrollIntoView(int col, int row)
{
    int left = m_leftCol;
    int top = m_topRow;
    if (col >= fixedColsInUse())
        left = col < m_leftCol ? col : std::max(m_leftCol, firstLeftShowing(col));
    if (row >= fixedRowsInUse())
        top = row < m_topRow ? row : std::max(m_topRow, firstTopShowing(row));
    moveTopLeft(left, top);
}

void TStringGrid::relayout(int left, int top)
{
    updateScrollBars();
    moveTopLeft(left, top);
    viewport()->update();
}

void TStringGrid::resetTopLeftAndCurrent()
{
    moveCurrent(fixedColsInUse(), fixedRowsInUse());
    relayout(fixedColsInUse(), fixedRowsInUse());
    resetSelection();
}

void TStringGrid::updateScrollBars()
{
    QScopedValueRollback<bool> syncing(m_syncingScrollBars, true);
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(fixedRowsInUse(), maxTopRow());
    vertical->setPageStep(std::max(1, rowsFitting()));
    vertical->setValue(m_topRow);
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setRange(fixedColsInUse(), maxLeftCol());
    horizontal->setPageStep(std::max(1, VisibleColCount()));
    horizontal->setValue(m_leftCol);
}

void TStringGrid::updateCurrentCell()
{
    const QRect rect = CellRect(m_col, m_row);
    if (!rect.isEmpty())
        viewport()->update(rect);
}

void TStringGrid::dropCellsOutside()
{
    for (auto it = m_cells.begin(); it != m_cells.end();) {
        if (keyCol(it->first) >= m_colCount || keyRow(it->first) >= m_rowCount)
            it = m_cells.erase(it);
        else
            ++it;
    }
}

bool TStringGrid::handleNavigationKey(const QKeyEvent& event)
{
    if (m_col < 0 || m_row < 0)
        return false;
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    if (modifiers & (Qt::AltModifier | Qt::MetaModifier))
        return false;
    const bool ctrl = modifiers & Qt::ControlModifier;
    const bool shift = modifiers & Qt::ShiftModifier;
    // A page keeps one row (column) of the previous page in view for orientation.
    const int pageRows = std::max(1, VisibleRowCount() - 1);
    const int pageCols = std::max(1, VisibleColCount() - 1);
    const int fc = fixedColsInUse();
    const int fr = fixedRowsInUse();

    int col = m_col;
    int row = m_row;
    int left = m_leftCol;
    int top = m_topRow;
    switch (event.key()) {
    case Qt::Key_Up:
        ctrl ? --top : --row;
        break;
    case Qt::Key_Down:
        ctrl ? ++top : ++row;
        break;
    case Qt::Key_Left:
        col -= ctrl ? pageCols : 1;
        left -= ctrl ? pageCols : 0;
        break;
    case Qt::Key_Right:
        col += ctrl ? pageCols : 1;
        left += ctrl ? pageCols : 0;
        break;
    case Qt::Key_PageUp:
        if (ctrl) {
            row = m_topRow;
        } else {
            row -= pageRows;
            top -= pageRows;
        }
        break;
    case Qt::Key_PageDown:
        if (ctrl) {
            row = m_topRow + std::max(1, VisibleRowCount()) - 1;
        } else {
            row += pageRows;
            top += pageRows;
        }
        break;
    case Qt::Key_Home:
        col = fc;
        row = ctrl ? fr : row;
        break;
    case Qt::Key_End:
        col = m_colCount - 1;
        row = ctrl ? m_rowCount - 1 : row;
        break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (ctrl)
            return false;
        // Tab runs through the cells row by row and wraps from the last cell to the first.
        if (shift || event.key() == Qt::Key_Backtab) {
            if (--col < fc) {
                col = m_colCount - 1;
                if (--row < fr)
                    row = m_rowCount - 1;
            }
        } else if (++col >= m_colCount) {
            col = fc;
            if (++row >= m_rowCount)
                row = fr;
        }
        break;
    default:
        return false;
    }
    moveTopLeft(left, top);
    const bool moved = moveCurrent(col, row);
    if (moved)
        scrollIntoView(m_col, m_row);
    // Tab runs through the cells; the other movement keys extend the block with Shift.
    const bool tab = event.key() == Qt::Key_Tab || event.key() == Qt::Key_Backtab;
    if (shift && !tab)
        extendSelection();
    else if (moved)
        resetSelection();
    return true;
}

bool TStringGrid::handleSelectionKey(const QKeyEvent& event)
{
    if (event.matches(QKeySequence::SelectAll)) {
        SelectAll();
        return true;
    }
    if (event.matches(QKeySequence::Copy)) {
        emit copyRequested();
        return true;
    }
    const bool menuKey = event.key() == Qt::Key_Menu && !(event.modifiers() & ~Qt::KeypadModifier);
    const bool shiftF10 = event.key() == Qt::Key_F10 && event.modifiers() == Qt::ShiftModifier;
    if (menuKey || shiftF10) {
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, QPoint(), QPoint(), event.modifiers());
        contextMenuEvent(&menu);
        return true;
    }
    return false;
}

TGridSelection::Bounds TStringGrid::selectionBounds() const
{
    return {fixedColsInUse(), fixedRowsInUse(), m_colCount, m_rowCount};
}

void TStringGrid::resetSelection()
{
    if (m_col >= 0 && m_row >= 0)
        m_selection.SelectCell(m_col, m_row, selectionBounds());
    else
        m_selection.Clear();
    m_drag = DragKind::None;
    viewport()->update();
}

void TStringGrid::extendSelection()
{
    m_selection.ExtendTo(m_col, m_row, selectionBounds());
    viewport()->update();
}

void TStringGrid::pressAt(const QPoint& pos, bool extend)
{
    const QPoint cell = MouseToCell(pos);
    if (cell.x() < 0 || cell.y() < 0)
        return;
    const TGridSelection::Bounds bounds = selectionBounds();
    const bool fixedCol = cell.x() < bounds.FirstCol;
    const bool fixedRow = cell.y() < bounds.FirstRow;
    if (fixedCol && fixedRow) {
        SelectAll();
        return;
    }
    if (fixedCol || fixedRow) {
        m_drag = fixedCol ? DragKind::Rows : DragKind::Cols;
        const bool whole = fixedCol ? m_selection.WholeRows() : m_selection.WholeCols();
        if (extend && !m_selection.IsEmpty()) {
            // A block of cells becomes whole rows (columns) from the row (column) it began on.
            if (!whole) {
                const int anchorCol = m_selection.AnchorCol();
                const int anchorRow = m_selection.AnchorRow();
                fixedCol ? m_selection.SelectRow(anchorRow, bounds)
                         : m_selection.SelectCol(anchorCol, bounds);
            }
            m_selection.ExtendTo(cell.x(), cell.y(), bounds);
        } else if (fixedCol) {
            m_selection.SelectRow(cell.y(), bounds);
        } else {
            m_selection.SelectCol(cell.x(), bounds);
        }
        viewport()->update();
        return;
    }
    m_drag = DragKind::Cells;
    moveCurrent(cell.x(), cell.y());
    scrollIntoView(m_col, m_row);
    if (extend)
        extendSelection();
    else
        resetSelection();
    m_drag = DragKind::Cells;
}

void TStringGrid::dragTo(const QPoint& pos)
{
    if (m_drag == DragKind::None)
        return;
    const QPoint cell = dragCellAt(pos);
    if (m_drag == DragKind::Cells) {
        if (cell.x() < 0 || cell.y() < 0)
            return;
        if (moveCurrent(cell.x(), cell.y()))
            scrollIntoView(m_col, m_row);
        extendSelection();
        return;
    }
    // Along the headers only the one axis counts; the block follows it past the edge too.
    const bool rows = m_drag == DragKind::Rows;
    const int index = rows ? cell.y() : cell.x();
    if (index < 0)
        return;
    m_selection.ExtendTo(rows ? m_selection.AnchorCol() : index,
                         rows ? index : m_selection.AnchorRow(), selectionBounds());
    rows ? scrollIntoView(-1, index) : scrollIntoView(index, -1);
    viewport()->update();
}

QPoint TStringGrid::dragCellAt(const QPoint& pos) const
{
    QPoint cell = MouseToCell(pos);
    // Past the scrolling area's edges the drag reaches the next row or column out of view, so
    // that the grid scrolls along.
    if (pos.y() >= viewport()->height())
        cell.setY(std::min(m_rowCount - 1, m_topRow + VisibleRowCount()));
    else if (pos.y() < fixedHeight() && m_drag != DragKind::Cols)
        cell.setY(std::max(fixedRowsInUse(), m_topRow - 1));
    if (pos.x() >= viewport()->width())
        cell.setX(std::min(m_colCount - 1, m_leftCol + VisibleColCount()));
    else if (pos.x() < fixedWidth() && m_drag != DragKind::Rows)
        cell.setX(std::max(fixedColsInUse(), m_leftCol - 1));
    return cell;
}

void TStringGrid::selectCellAt(const QPoint& pos)
{
    const QPoint cell = MouseToCell(pos);
    if (cell.x() < fixedColsInUse() || cell.y() < fixedRowsInUse())
        return;
    moveCurrent(cell.x(), cell.y());
    scrollIntoView(m_col, m_row);
    resetSelection();
}
