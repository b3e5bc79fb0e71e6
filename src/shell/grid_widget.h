// The grid control: a table with a fixed header row (row 0), per-cell text and text colour and
// a cursor cell. Rows are counted from 0 with the header as row 0.
//
// On the keyboard: the arrows move the cursor, Enter reports the cursor cell (rowEntered), the
// Menu key and Shift+F10 act as the right button pressed over the cursor cell, and Tab leaves
// the grid for the next control of the window.
//
// A cell whose text the grid cuts shows the whole text as its tooltip (unless the grid's own
// tooltip is to be shown instead: SetFullTextTips(false)).
#pragma once

#include <QTableWidget>
#include <functional>
#include <vector>

namespace fundlens {

struct GridColumn {
    const char* header; // UTF-8
    int width;
};

struct GridDesign {
    int rows;      // including the header row
    int rowHeight; // pixels, the header row too
    std::vector<GridColumn> columns;
};

class GridWidget : public QTableWidget {
    Q_OBJECT
public:
    GridWidget(GridDesign design, QWidget* parent);

    const GridDesign& design() const { return m_design; }

    // Column count, header texts, header colours and column widths as designed.
    void RestoreHeader();
    // The designed state: header restored, designed row count, every cell empty.
    void ResetToDesign();

    // Rows as the program counts them (the header included).
    int GridRows() const { return rowCount() + 1; }
    void SetGridRows(int rows);

    // The selected cells as tab-separated text, one line per row (what Ctrl+C copies), taken
    // from the cell source when one is set (row 0 the header, as the program counts rows).
    QString SelectedText() const;
    using CellSource = std::function<QString(int row, int column)>;
    void SetCellSource(CellSource source) { m_cellSource = std::move(source); }

    // Whether a cut cell shows its whole text as a tooltip (on unless turned off).
    void SetFullTextTips(bool on) { m_fullTextTips = on; }
    // Whether the cell at (row, column), row 1 the first under the header, cuts its text as the
    // grid shows it now: elided in its column, or running past the grid's visible part.
    bool CellTextCut(int row, int column) const;

    // The row the last right button press or menu key was on (1 the first under the header, 0
    // the header), -1 before any or below the rows.
    int MenuRow() const { return m_menuRow; }

Q_SIGNALS:
    void headerClicked(int row, int column);
    // The cursor moved to another cell by the user (mouse or keyboard).
    void cursorMoved(int row, int column);
    // Right button pressed anywhere over the grid; position in the grid's coordinates. The
    // Menu key and Shift+F10 report the middle of the cursor cell (of the grid's top-left corner
    // when there is no cursor).
    void rightButtonPressed(int x, int y);
    // Enter pressed on the cursor cell.
    void rowEntered(int row, int column);
    void mouseMoved(int x, int y);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CurrentCellChanged(int row, int column);
    // The right button's event for the cursor cell, as the keyboard's menu keys give it.
    void PressAtCursor();

    GridDesign m_design;
    bool m_programmaticMove = false;
    int m_menuRow = -1;
    CellSource m_cellSource;
    bool m_fullTextTips = true;
};

} // namespace fundlens
