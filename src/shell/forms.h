// The three windows as widgets, built from their designs, with their control events wired to
// the event table.
#pragma once

#include "shell/window_design.h"

#include <QDialog>
#include <QWidget>
#include <array>
#include <initializer_list>

class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTreeWidget;

namespace fundlens {

class DrawPanelWidget;
class GridWidget;
class PictureBoxWidget;

// Creates the widget of one designed control inside `window`.
QWidget* CreateControl(const ControlDesign& design, QWidget* window);

// Places a window and its controls as designed. The designed size is the window's outer size:
// once a window manager has framed the window, its client area shrinks by the frame, never below
// what its controls need. Tab visits the controls in reading order: top to bottom, and left to
// right within a line.
void BuildWindow(QWidget* window, const WindowDesign& design);

// Tab visits the window's controls `names` in this order.
void SetTabOrder(QWidget* window, std::initializer_list<const char*> names);

// The client size that gives a window of the designed outer size with a frame adding
// `frameWidth` and `frameHeight`, at least `controlsExtent` (the right and bottom edges of the
// controls).
QSize ClientSizeForOuterSize(QSize designed, int frameWidth, int frameHeight, QSize controlsExtent);

struct MainControls {
    GridWidget* fundList = nullptr;            // 高级表格1
    GridWidget* compareGrid = nullptr;         // 高级表格2
    GridWidget* riskGrid = nullptr;            // 高级表格3
    GridWidget* compareRiskGrid = nullptr;     // 高级表格4
    GridWidget* holdingsGrid = nullptr;        // 高级表格5
    GridWidget* compareHoldingsGrid = nullptr; // 高级表格6
    QPushButton* fiveStarButton = nullptr;     // 五星基金钮
    QPushButton* sectorChooser = nullptr;      // 选择板块钮
    QPushButton* chartButton = nullptr;        // 净值走势钮
    QPushButton* watchlistButton = nullptr;    // 自选基金钮
    QPushButton* basketButton = nullptr;       // 多基金对比钮
    QLineEdit* searchBox = nullptr;            // 搜索框
    QTreeWidget* suggestionList = nullptr;     // 超级列表框1
    QMenu* addMenu = nullptr;                  // 菜单
    QMenu* removeMenu = nullptr;               // 菜单1
};

class MainForm : public QWidget {
    Q_OBJECT
public:
    explicit MainForm(QWidget* parent = nullptr);
    const MainControls& controls() const { return m_controls; }

Q_SIGNALS:
    // The user (or the program) closed the window.
    void closing();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void WireEvents();

    MainControls m_controls;
};

class SectorForm : public QWidget {
    Q_OBJECT
public:
    SectorForm();
    ~SectorForm() override; // runs the being-destroyed event

Q_SIGNALS:
    void closing();

protected:
    void closeEvent(QCloseEvent* event) override;
};

struct ChartControls {
    PictureBoxWidget* currentImage = nullptr;    // 图片框1
    PictureBoxWidget* compareImage = nullptr;    // 图片框2
    DrawPanelWidget* panel = nullptr;            // 画板1
    QLabel* titleLabel = nullptr;                // 标签2
    std::array<QPushButton*, 7> periodButtons{}; // 按钮1..按钮7
    QLabel* noteLabel = nullptr;                 // 标签1
};

class ChartForm : public QDialog {
    Q_OBJECT
public:
    explicit ChartForm(QWidget* parent);
    const ChartControls& controls() const { return m_controls; }

private:
    ChartControls m_controls;
};

} // namespace fundlens
