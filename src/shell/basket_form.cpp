#include "shell/basket_form.h"

#include "shell/controls.h"
#include "shell/draw_panel.h"
#include "shell/event_routines.h"
#include "shell/forms.h"
#include "shell/grid_widget.h"
#include "shell/program_state.h"
#include "shell/windows.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QPushButton>
#include <QTextDocument>
#include <algorithm>
#include <utility>

namespace fundlens {

namespace {

using K = ControlKind;

constexpr int TableRowHeight = 26;
constexpr int TableRows = MaxBasketFunds + 1; // the header and one row per fund
constexpr int MatrixCodeWidth = 76;
constexpr int CorrelationCellWidth = 52;
constexpr int OverlapCellWidth = 84;

// The period buttons' row under the panel.
constexpr int PeriodButtonTop = 344;
constexpr int PeriodButtonStep = 88;
constexpr int PeriodButtonWidth = 80;
constexpr int PeriodButtonHeight = 32;
constexpr std::array<const char*, PeriodButtonCount> PeriodCaptions{
    "近1周", "近1月", "近3月", "近6月", "近1年", "近2年", "近3年"};

std::vector<GridColumn> MatrixColumns(int cellWidth) {
    std::vector<GridColumn> columns{{"", MatrixCodeWidth}};
    for (int f = 0; f < MaxBasketFunds; ++f)
        columns.push_back({"", cellWidth});
    return columns;
}

template <class W>
W* Child(QWidget* window, const char* name) {
    return window->findChild<W*>(QString::fromUtf8(name), Qt::FindDirectChildrenOnly);
}

// A tooltip shown as typed, even when it looks like markup.
QString PlainTip(const Text& text) {
    QString tip = ToQString(text);
    if (Qt::mightBeRichText(tip))
        tip = QStringLiteral("<p style='white-space:pre'>") + tip.toHtmlEscaped() +
              QStringLiteral("</p>");
    return tip;
}

void SetCellTip(GridWidget* grid, int row, int column, const Text& text) {
    QTableWidgetItem* item =
        row == 0 ? grid->horizontalHeaderItem(column) : grid->item(row - 1, column);
    if (item == nullptr) {
        item = new QTableWidgetItem;
        if (row == 0)
            grid->setHorizontalHeaderItem(column, item);
        else
            grid->setItem(row - 1, column, item);
    }
    item->setToolTip(text.empty() ? QString() : PlainTip(text));
}

// The table's values onto the grid: its rows (at least the header), texts, colours, tooltips;
// every cell beyond the table empty. Cells are written over, not made anew.
void ShowTable(const char* gridName, const FigureTable& table) {
    Grid grid = BasketWindow().GridNamed(gridName);
    auto* widget = qobject_cast<GridWidget*>(grid.widget());
    if (widget == nullptr)
        return;
    const int rows = std::max(table.Rows(), 1);
    grid.SetRowCount(rows);
    const Figure empty;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < grid.ColumnCount(); ++column) {
            const Figure* cell = table.Cell(row, column);
            const Figure& shown = cell ? *cell : empty;
            grid.SetCellText(row, column, shown.text);
            grid.SetCellColor(row, column, shown.color.value_or(RgbBlack));
            SetCellTip(widget, row, column, table.Tip(row, column));
        }
    }
}

const FigureTable* TableNamed(std::string_view name) {
    const BasketView& basket = State().Views.basket;
    if (name == BasketRiskTableName)
        return &basket.risk;
    if (name == BasketCorrelationName)
        return &basket.correlation;
    if (name == BasketOverlapName)
        return &basket.overlap;
    return nullptr;
}

SaveFileAsker& Asker() {
    static SaveFileAsker asker;
    return asker;
}

} // namespace

const GridDesign& BasketRiskTableDesign() {
    static const GridDesign design{TableRows,
                                   TableRowHeight,
                                   {{"基金", 200},
                                    {"区间收益", 100},
                                    {"年化收益", 100},
                                    {"年化波动", 100},
                                    {"最大回撤", 100},
                                    {"回撤开始", 110},
                                    {"回撤谷底", 110},
                                    {"修复日期", 110},
                                    {"夏普比率", 100},
                                    {"索提诺比率", 110},
                                    {"卡玛比率", 100}}};
    return design;
}

const GridDesign& BasketCorrelationDesign() {
    static const GridDesign design{TableRows, TableRowHeight, MatrixColumns(CorrelationCellWidth)};
    return design;
}

const GridDesign& BasketOverlapDesign() {
    static const GridDesign design{TableRows, TableRowHeight, MatrixColumns(OverlapCellWidth)};
    return design;
}

const WindowDesign& BasketWindowDesign() {
    static const WindowDesign design = [] {
        WindowDesign d{
            "多基金对比",
            80,
            80,
            1300,
            910,
            {
                {BasketTitleName, K::Label, "", 320, 4, 360, 28},
                {BasketPanelName, K::Panel, "", 8, 36, 900, 300},
                {BasketSummaryName, K::Label, "", 920, 36, 372, 28},
                {BasketRemoveButtonName, K::Button, "移出对比篮", 920, 72, 120, 32},
                {BasketExportButtonName, K::Button, "导出CSV", 1048, 72, 120, 32},
                {BasketNoteName, K::Label,
                 "区间不足350天时，年化收益与夏普、索提诺、卡玛比率显示为“--”", 632, 344, 660, 32},
                {BasketRiskTableName, K::Grid, "", 8, 384, 1284, 240},
                {BasketCorrelationName, K::Grid, "", 8, 632, 508, 240},
                {BasketOverlapName, K::Grid, "", 524, 632, 768, 240},
            }};
        for (int n = 0; n < PeriodButtonCount; ++n) {
            const auto k = static_cast<std::size_t>(n);
            d.controls.push_back({BasketPeriodButtonNames[k], K::Button, PeriodCaptions[k],
                                  8 + PeriodButtonStep * n, PeriodButtonTop, PeriodButtonWidth,
                                  PeriodButtonHeight});
        }
        return d;
    }();
    return design;
}

BasketForm::BasketForm() : QWidget(nullptr) {
    setObjectName(QStringLiteral("basket"));
    BuildWindow(this, BasketWindowDesign());
    m_riskTable = Child<GridWidget>(this, BasketRiskTableName);
    m_menu = new QMenu(this);
    m_menu->setObjectName(QString::fromUtf8(BasketMenuName));
    m_menu->addAction(QString::fromUtf8(BasketRemoveItem));
    WireEvents();
}

void BasketForm::WireEvents() {
    for (int n = 1; n <= PeriodButtonCount; ++n) {
        auto* button = Child<QPushButton>(this, BasketPeriodButtonNames[std::size_t(n - 1)]);
        connect(button, &QPushButton::clicked, this,
                [n] { Fire(Routines().basket.periodClicked, n); });
    }
    connect(Child<DrawPanelWidget>(this, BasketPanelName), &DrawPanelWidget::mouseMoved, this,
            [](int x, int y) { Fire(Routines().basket.panelMouseMoved, x, y); });
    connect(Child<QPushButton>(this, BasketRemoveButtonName), &QPushButton::clicked, this,
            [this] { Fire(Routines().basket.removeChosen, Grid(m_riskTable).CursorRow()); });
    connect(Child<QPushButton>(this, BasketExportButtonName), &QPushButton::clicked, this,
            [] { Fire(Routines().basket.exportClicked); });
    connect(m_riskTable, &GridWidget::rightButtonPressed, this, &BasketForm::RiskTablePressed);
    connect(m_menu, &QMenu::triggered, this,
            [this] { Fire(Routines().basket.removeChosen, m_menuRow); });
    for (const char* name : {BasketRiskTableName, BasketCorrelationName, BasketOverlapName}) {
        Child<GridWidget>(this, name)->SetCellSource([name](int row, int column) {
            return ToQString(BasketCellText(name, row, column));
        });
    }
}

// The popup acts on the fund row under the mouse; over the header or below the rows there is
// none.
void BasketForm::RiskTablePressed(int x, int y) {
    const QPoint inView = m_riskTable->viewport()->mapFrom(m_riskTable, QPoint(x, y));
    const int row = inView.y() >= 0 ? m_riskTable->rowAt(inView.y()) : -1;
    if (row < 0)
        return;
    m_menuRow = row + 1;
    m_menu->popup(m_riskTable->mapToGlobal(QPoint(x, y)));
}

void BasketForm::closeEvent(QCloseEvent* event) {
    event->accept();
    Fire(Routines().basket.windowClosed);
}

void ShowBasketTable(BasketTable table) {
    const BasketView& basket = State().Views.basket;
    switch (table) {
    case BasketTable::Risk:
        ShowTable(BasketRiskTableName, basket.risk);
        break;
    case BasketTable::Correlation:
        ShowTable(BasketCorrelationName, basket.correlation);
        break;
    case BasketTable::Overlap:
        ShowTable(BasketOverlapName, basket.overlap);
        break;
    }
}

void ShowBasketTables() {
    for (BasketTable table : {BasketTable::Risk, BasketTable::Correlation, BasketTable::Overlap})
        ShowBasketTable(table);
}

void ShowBasketSummary() {
    const std::size_t count = State().Views.basket.funds.size();
    const Text summary = count == 0 ? "对比篮为空：在基金列表上右键选择“加入对比篮”"_gbk
                                    : "对比篮："_gbk + NumberToText(static_cast<int>(count)) +
                                          " 支基金（最多八支）"_gbk;
    BasketWindow().LabelNamed(BasketSummaryName).SetCaption(summary);
}

void ShowBasketTitle() {
    BasketWindow().LabelNamed(BasketTitleName).SetCaption(State().Views.basket.title);
}

Text BasketCellText(std::string_view tableName, int row, int column) {
    const FigureTable* table = TableNamed(tableName);
    const Figure* cell = table ? table->Cell(row, column) : nullptr;
    return cell ? cell->text : Text();
}

std::string AskSaveFile(const std::string& suggestedName) {
    if (Asker())
        return Asker()(suggestedName);
    const QString suggested = QDir::home().filePath(QString::fromStdString(suggestedName));
    const QString path =
        QFileDialog::getSaveFileName(BasketWindow().widget(), QStringLiteral("导出表格"), suggested,
                                     QStringLiteral("CSV 文件 (*.csv)"));
    return path.toStdString();
}

SaveFileAsker SetSaveFileAsker(SaveFileAsker asker) {
    return std::exchange(Asker(), std::move(asker));
}

} // namespace fundlens
