#include "shell/grid_widget.h"

#include "shell/controls.h"
#include "shell/full_text.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QToolTip>
#include <algorithm>
#include <utility>

namespace fundlens {

namespace {

// Enough for any list the portal pages into the grid; a larger count from a broken answer
// would only exhaust memory.
constexpr int MaxGridRows = 100000;

} // namespace

GridWidget::GridWidget(GridDesign design, QWidget* parent)
    : QTableWidget(parent), m_design(std::move(design)) {
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // A block of cells can be selected for copying; the cursor stays one cell.
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSortingEnabled(false);
    setWordWrap(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // Tab goes on to the next control of the window; the arrows move between the cells.
    setTabKeyNavigation(false);

    QHeaderView* rows = verticalHeader();
    rows->setVisible(false);
    rows->setMinimumSectionSize(1);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(m_design.rowHeight);

    QHeaderView* header = horizontalHeader();
    header->setMinimumSectionSize(0);
    header->setStretchLastSection(false);
    header->setHighlightSections(false);
    header->setSectionsClickable(true);
    header->setFixedHeight(m_design.rowHeight);
    header->viewport()->installEventFilter(this);
    header->viewport()->setMouseTracking(true);

    viewport()->setMouseTracking(true);
    setMouseTracking(true);

    // A header click sorts (or does nothing); it never selects the column or moves the cursor.
    disconnect(header, &QHeaderView::sectionPressed, this, nullptr);
    disconnect(header, &QHeaderView::sectionEntered, this, nullptr);
    connect(header, &QHeaderView::sectionClicked, this,
            [this](int column) { Q_EMIT headerClicked(0, column); });
    connect(this, &QTableWidget::currentCellChanged, this,
            [this](int row, int column, int, int) { CurrentCellChanged(row, column); });
    ResetToDesign();
}

void GridWidget::RestoreHeader() {
    const int columns = static_cast<int>(m_design.columns.size());
    setColumnCount(columns);
    for (int c = 0; c < columns; ++c) {
        auto* item = new QTableWidgetItem(QString::fromUtf8(m_design.columns[c].header));
        setHorizontalHeaderItem(c, item);
        setColumnWidth(c, m_design.columns[c].width);
    }
}

void GridWidget::ResetToDesign() {
    m_programmaticMove = true;
    clearContents();
    setRowCount(m_design.rows - 1);
    RestoreHeader();
    m_programmaticMove = false;
}

void GridWidget::SetGridRows(int rows) {
    rows = std::clamp(rows, 1, MaxGridRows);
    m_programmaticMove = true;
    setRowCount(rows - 1);
    m_programmaticMove = false;
}

QString GridWidget::SelectedText() const {
    const QList<QTableWidgetSelectionRange> ranges = selectedRanges();
    if (ranges.isEmpty())
        return {};
    const QTableWidgetSelectionRange& range = ranges.front(); // contiguous: one block
    QStringList lines;
    for (int row = range.topRow(); row <= range.bottomRow(); ++row) {
        QStringList cells;
        for (int column = range.leftColumn(); column <= range.rightColumn(); ++column) {
            if (m_cellSource) {
                cells << m_cellSource(row + 1, column);
                continue;
            }
            const QTableWidgetItem* cell = item(row, column);
            cells << (cell ? cell->text() : QString());
        }
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n'));
}

namespace {

bool IsEnterKey(const QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    return (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
           modifiers == Qt::NoModifier;
}

bool IsMenuKey(const QKeyEvent* event) {
    return (event->key() == Qt::Key_Menu && event->modifiers() == Qt::NoModifier) ||
           (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier);
}

} // namespace

void GridWidget::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        QGuiApplication::clipboard()->setText(SelectedText());
        event->accept();
        return;
    }
    if (IsEnterKey(event) && currentRow() >= 0 && currentColumn() >= 0) {
        Q_EMIT rowEntered(currentRow() + 1, currentColumn());
        event->accept();
        return;
    }
    if (IsMenuKey(event)) {
        PressAtCursor();
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

void GridWidget::contextMenuEvent(QContextMenuEvent* event) {
    // Where the window system turns the Menu key into a menu request of its own.
    if (event->reason() == QContextMenuEvent::Keyboard) {
        PressAtCursor();
        event->accept();
        return;
    }
    QTableWidget::contextMenuEvent(event);
}

void GridWidget::focusInEvent(QFocusEvent* event) {
    // The focus alone never moves the cursor: a grid without one gets none (the item view would
    // put it on the first cell, and that is no user's move).
    const bool hadCursor = currentIndex().isValid();
    m_programmaticMove = true;
    QTableWidget::focusInEvent(event);
    if (!hadCursor && currentIndex().isValid())
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    m_programmaticMove = false;
}

void GridWidget::PressAtCursor() {
    QPoint at = viewport()->mapTo(this, QPoint(0, 0));
    const QModelIndex cursor = currentIndex();
    m_menuRow = cursor.isValid() ? cursor.row() + 1 : -1;
    if (cursor.isValid()) {
        scrollTo(cursor);
        at = viewport()->mapTo(this, visualRect(cursor).center());
    }
    Q_EMIT rightButtonPressed(at.x(), at.y());
}

void GridWidget::CurrentCellChanged(int row, int column) {
    if (m_programmaticMove || row < 0 || column < 0) {
        return;
    }
    Q_EMIT cursorMoved(row + 1, column);
}

void GridWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        // The right button does not move the cursor: its menu acts on the cursor row.
        const QPoint at = viewport()->mapTo(this, event->position().toPoint());
        const int row = rowAt(event->position().toPoint().y());
        m_menuRow = row >= 0 ? row + 1 : -1;
        Q_EMIT rightButtonPressed(at.x(), at.y());
        event->accept();
        return;
    }
    QTableWidget::mousePressEvent(event);
}

void GridWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = viewport()->mapTo(this, event->position().toPoint());
    Q_EMIT mouseMoved(at.x(), at.y());
    QTableWidget::mouseMoveEvent(event);
}

bool GridWidget::eventFilter(QObject* watched, QEvent* event) {
    if (watched == horizontalHeader()->viewport()) {
        if (event->type() == QEvent::MouseButtonPress) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::RightButton) {
                const QPoint at =
                    horizontalHeader()->viewport()->mapTo(this, mouse->position().toPoint());
                m_menuRow = 0;
                Q_EMIT rightButtonPressed(at.x(), at.y());
                return true;
            }
        } else if (event->type() == QEvent::MouseMove) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            const QPoint at =
                horizontalHeader()->viewport()->mapTo(this, mouse->position().toPoint());
            Q_EMIT mouseMoved(at.x(), at.y());
        }
    }
    return QTableWidget::eventFilter(watched, event);
}

bool GridWidget::CellTextCut(int row, int column) const {
    const QModelIndex index = model()->index(row - 1, column);
    if (!index.isValid())
        return false;
    const QRect shown = visualRect(index) & viewport()->rect();
    // The text's room as item views lay it out: the cell less a margin on either side.
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    const QVariant cellFont = index.data(Qt::FontRole);
    const QFont font = cellFont.isValid() ? cellFont.value<QFont>() : this->font();
    return TextIsElided(QFontMetrics(font), index.data(Qt::DisplayRole).toString(),
                        shown.width() - 2 * margin);
}

bool GridWidget::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip && m_fullTextTips) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = indexAt(help->pos());
        if (index.isValid() && CellTextCut(index.row() + 1, index.column())) {
            const QRect cell = visualRect(index) & viewport()->rect();
            QToolTip::showText(help->globalPos(),
                               PlainToolTip(index.data(Qt::DisplayRole).toString()), viewport(),
                               cell);
            return true;
        }
    }
    return QTableWidget::viewportEvent(event);
}

// ---- Grid

GridWidget* Grid::grid() const {
    return As<GridWidget>();
}

int Grid::RowCount() const {
    GridWidget* g = grid();
    return g ? g->GridRows() : 0;
}

void Grid::SetRowCount(int rows) {
    if (GridWidget* g = grid()) {
        g->SetGridRows(rows);
    }
}

int Grid::ColumnCount() const {
    GridWidget* g = grid();
    return g ? g->columnCount() : 0;
}

int Grid::CursorRow() const {
    GridWidget* g = grid();
    return g && g->currentRow() >= 0 ? g->currentRow() + 1 : -1;
}

int Grid::MenuRow() const {
    GridWidget* g = grid();
    return g ? g->MenuRow() : -1;
}

int Grid::CursorColumn() const {
    GridWidget* g = grid();
    return g && g->currentRow() >= 0 ? g->currentColumn() : -1;
}

void Grid::SetCursor(int row, int column) {
    GridWidget* g = grid();
    if (g && row >= 1 && row < g->GridRows() && column >= 0 && column < g->columnCount()) {
        const QSignalBlocker quiet(g);
        g->setCurrentCell(row - 1, column);
    }
}

Text Grid::CellText(int row, int column) const {
    GridWidget* g = grid();
    if (!g || row < 0 || row >= g->GridRows() || column < 0 || column >= g->columnCount()) {
        return {};
    }
    QTableWidgetItem* item = row == 0 ? g->horizontalHeaderItem(column) : g->item(row - 1, column);
    return item ? FromQString(item->text()) : Text();
}

void Grid::SetCellText(int row, int column, const Text& text) {
    GridWidget* g = grid();
    if (!g || row < 0 || row >= g->GridRows() || column < 0 || column >= g->columnCount()) {
        return;
    }
    if (row == 0) {
        QTableWidgetItem* header = g->horizontalHeaderItem(column);
        if (header == nullptr) {
            g->setHorizontalHeaderItem(column, header = new QTableWidgetItem);
        }
        header->setText(ToQString(text));
        return;
    }
    QTableWidgetItem* item = g->item(row - 1, column);
    if (item == nullptr) {
        g->setItem(row - 1, column, new QTableWidgetItem(ToQString(text)));
    } else {
        item->setText(ToQString(text));
    }
}

Rgb Grid::CellColor(int row, int column) const {
    GridWidget* g = grid();
    if (!g || row < 0 || row >= g->GridRows() || column < 0 || column >= g->columnCount()) {
        return RgbBlack;
    }
    QTableWidgetItem* item = row == 0 ? g->horizontalHeaderItem(column) : g->item(row - 1, column);
    if (item == nullptr || item->foreground().style() == Qt::NoBrush) {
        return RgbBlack;
    }
    return FromQColor(item->foreground().color());
}

void Grid::SetCellColor(int row, int column, Rgb color) {
    SetCellColorRange(row, column, row, column, color);
}

void Grid::SetCellColorRange(int row1, int column1, int row2, int column2, Rgb color) {
    GridWidget* g = grid();
    if (!g) {
        return;
    }
    const int firstRow = std::max(0, std::min(row1, row2));
    const int lastRow = std::min(g->GridRows() - 1, std::max(row1, row2));
    const int firstColumn = std::max(0, std::min(column1, column2));
    const int lastColumn = std::min(g->columnCount() - 1, std::max(column1, column2));
    const QBrush brush(ToQColor(color));
    for (int row = firstRow; row <= lastRow; ++row) {
        for (int column = firstColumn; column <= lastColumn; ++column) {
            QTableWidgetItem* item =
                row == 0 ? g->horizontalHeaderItem(column) : g->item(row - 1, column);
            if (item == nullptr) {
                item = new QTableWidgetItem;
                if (row == 0) {
                    g->setHorizontalHeaderItem(column, item);
                } else {
                    g->setItem(row - 1, column, item);
                }
            }
            item->setForeground(brush);
        }
    }
}

void Grid::Clear() {
    if (GridWidget* g = grid()) {
        g->clearContents();
        g->RestoreHeader();
    }
}

void Grid::Reset() {
    if (GridWidget* g = grid()) {
        g->ResetToDesign();
    }
}

} // namespace fundlens
