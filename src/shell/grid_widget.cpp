#include "shell/grid_widget.h"

#include <QHeaderView>
#include <QMouseEvent>
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
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSortingEnabled(false);
    setWordWrap(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

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

} // namespace fundlens
