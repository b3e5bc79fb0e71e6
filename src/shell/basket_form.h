// The comparison basket's window "多基金对比": its design, the form built from it with its
// controls wired to the basket's event slots, and the show functions that draw the window's
// parts from the basket's values (State().Views.basket).
#pragma once

#include "shell/window_design.h"
#include "text/text.h"

#include <QWidget>
#include <array>
#include <functional>
#include <string>
#include <string_view>

class QMenu;

namespace fundlens {

class DrawPanelWidget;
class GridWidget;

// The window's controls the program's code addresses.
inline constexpr const char* BasketTitleName = "对比标题";
inline constexpr const char* BasketPanelName = "对比画板";
inline constexpr const char* BasketSummaryName = "对比篮说明";
inline constexpr const char* BasketNoteName = "年化说明";
inline constexpr const char* BasketRemoveButtonName = "移出对比篮钮";
inline constexpr const char* BasketExportButtonName = "导出表格钮";
inline constexpr const char* BasketRiskTableName = "风险指标表";
inline constexpr const char* BasketCorrelationName = "相关系数表";
inline constexpr const char* BasketOverlapName = "持仓重合表";
inline constexpr const char* BasketMenuName = "对比篮菜单";
inline constexpr const char* BasketRemoveItem = "移出对比篮";
// The period buttons, left to right: the chart window's seven periods.
inline constexpr std::array<const char*, PeriodButtonCount> BasketPeriodButtonNames{
    "近1周钮", "近1月钮", "近3月钮", "近6月钮", "近1年钮", "近2年钮", "近3年钮"};

const WindowDesign& BasketWindowDesign();
// The designs of the window's three tables.
const GridDesign& BasketRiskTableDesign();
const GridDesign& BasketCorrelationDesign();
const GridDesign& BasketOverlapDesign();

class BasketForm : public QWidget {
    Q_OBJECT
public:
    BasketForm();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void WireEvents();
    void RiskTablePressed(int x, int y);

    GridWidget* m_riskTable = nullptr;
    QMenu* m_menu = nullptr;
    int m_menuRow = 0; // the risk table's row the popup was opened on
};

// The window's parts drawn from the basket's values; each does nothing while the window is
// closed.
enum class BasketTable { Risk, Correlation, Overlap };
void ShowBasketTable(BasketTable table);
void ShowBasketTables();
void ShowBasketSummary();
void ShowBasketTitle();

// What a table of the window shows at (row, column), read from the basket's values (row 0 is
// the header): what Ctrl+C copies.
Text BasketCellText(std::string_view tableName, int row, int column);

// Asks where to write the tables (`suggestedName` in the user's folder); the path in UTF-8,
// empty when the user cancels. A test replaces the question.
std::string AskSaveFile(const std::string& suggestedName);
using SaveFileAsker = std::function<std::string(const std::string& suggestedName)>;
// An empty asker restores the file dialog. Returns the previous.
SaveFileAsker SetSaveFileAsker(SaveFileAsker asker);

} // namespace fundlens
