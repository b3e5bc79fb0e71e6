#include "shell/window_design.h"

#include "portal/rank_record.h"
#include "portal/sector_table.h"
#include "shell/basket_form.h"
#include "shell/watchlist_form.h"

#include <map>
#include <string>

namespace fundlens {

namespace {

using K = ControlKind;

const std::vector<GridColumn>& FundColumns() {
    static const std::vector<GridColumn> columns = [] {
        std::vector<GridColumn> made;
        for (int column = 0; column < FundListColumns; ++column)
            made.push_back({FundListCaptions[column], column == 0 ? 200 : column == 2 ? 80 : 60});
        return made;
    }();
    return columns;
}

const std::vector<GridColumn>& RiskColumns() {
    static const std::vector<GridColumn> columns{
        {"风险指标", 110}, {"近1年", 66}, {"近2年", 66}, {"近3年", 67}};
    return columns;
}

const std::vector<GridColumn>& HoldingColumns() {
    static const std::vector<GridColumn> columns{
        {"序", 40}, {"代码", 60}, {"股票名称", 100}, {"涨跌", 54}, {"占比", 54}};
    return columns;
}

} // namespace

const WindowDesign& MainWindowDesign() {
    static const WindowDesign design{
        "",
        50,
        50,
        1609,
        724,
        {
            {FundListName, K::Grid, "", 8, 8, 960, 576},
            {CompareRowsName, K::Grid, "", 8, 592, 960, 96},
            {FiveStarButtonName, K::Button, "五星基金", 976, 592, 112, 48},
            {WatchlistButtonName, K::Button, "自选", 1096, 592, 112, 48},
            {BasketButtonName, K::Button, "多基金对比", 1216, 592, 112, 48},
            {SectorChooserName, K::Button, "基金板块", 1000, 8, 120, 48},
            {ChartButtonName, K::Button, "走势图", 1128, 8, 120, 48},
            {SearchBoxName, K::Edit, "输入代码或名称", 1264, 8, 216, 48},
            {"标签20", K::Label, "基金名称：", 984, 64, 56, 24},
            {CurrentColumnNames.name, K::Label, "", 1056, 64, 208, 24},
            {"标签1", K::Label, "基金规模：", 984, 96, 56, 24},
            {CurrentColumnNames.size, K::Label, "", 1056, 96, 208, 24},
            {"标签2", K::Label, "基金经理：", 984, 128, 56, 24},
            {CurrentColumnNames.managers, K::Label, "", 1056, 128, 208, 24},
            {"标签3", K::Label, "基金评级：", 984, 160, 56, 24},
            {CurrentColumnNames.rating, K::Label, "", 1056, 160, 208, 24},
            {"标签4", K::Label, "任期回报：", 984, 192, 56, 24},
            {CurrentColumnNames.tenure, K::Label, "", 1056, 192, 208, 24},
            {CurrentColumnNames.risk, K::Grid, "", 968, 224, 312, 88},
            {"标签5", K::Label, "十大持仓：", 984, 304, 56, 32},
            {CurrentColumnNames.holdings, K::Grid, "", 968, 336, 312, 248},
            {"标签22", K::Label, "基金名称：", 1304, 64, 56, 24},
            {CompareColumnNames.name, K::Label, "", 1376, 64, 208, 24},
            {"标签10", K::Label, "基金规模：", 1304, 96, 56, 24},
            {CompareColumnNames.size, K::Label, "", 1376, 96, 208, 24},
            {"标签9", K::Label, "基金经理：", 1304, 128, 56, 24},
            {CompareColumnNames.managers, K::Label, "", 1376, 128, 208, 24},
            {"标签8", K::Label, "基金评级：", 1304, 160, 56, 24},
            {CompareColumnNames.rating, K::Label, "", 1376, 160, 208, 24},
            {"标签7", K::Label, "任期回报：", 1304, 192, 56, 24},
            {CompareColumnNames.tenure, K::Label, "", 1376, 192, 208, 24},
            {CompareColumnNames.risk, K::Grid, "", 1288, 224, 312, 88},
            {"标签6", K::Label, "十大持仓：", 1304, 304, 56, 32},
            {CompareColumnNames.holdings, K::Grid, "", 1288, 336, 312, 248},
            // Last, so that it lies above the controls it overlaps when shown.
            {SuggestionListName, K::List, "", 1264, 56, 216, 144},
        },
    };
    return design;
}

int SectorButtonLeft(int column) {
    static constexpr int lefts[] = {10, 111, 211, 311, 411, 511, 611, 711, 811};
    return column >= 1 && column <= 9 ? lefts[column - 1] : 0;
}

int SectorButtonTop(int row) {
    return 8 + 48 * (row - 1);
}

const WindowDesign& SectorWindowDesign() {
    static const WindowDesign design = [] {
        WindowDesign d{"", 50, 50, 909, 582, {}};
        static std::vector<std::string> names;
        names.reserve(SectorCount);
        for (const Sector& sector : SectorTable()) {
            names.push_back("按钮" + std::to_string(sector.button));
        }
        for (std::size_t i = 0; i < SectorTable().size(); ++i) {
            const Sector& sector = SectorTable()[i];
            d.controls.push_back({names[i].c_str(), K::Button, sector.caption.data(),
                                  SectorButtonLeft(sector.column), SectorButtonTop(sector.row),
                                  SectorButtonWidth, SectorButtonHeight});
        }
        return d;
    }();
    return design;
}

const WindowDesign& ChartWindowDesign() {
    static const WindowDesign design{
        "走势图",
        50,
        50,
        1433,
        591,
        {
            {CurrentImageName, K::Picture, "", 8, 8, 770, 270},
            {CompareImageName, K::Picture, "", 8, 288, 770, 270},
            {ChartPanelName, K::Panel, "", 792, 32, 632, 328},
            {ChartTitleName, K::Label, "", 976, 8, 240, 32},
            {"按钮1", K::Button, "近1周", 792, 368, 80, 40},
            {"按钮2", K::Button, "近1月", 888, 368, 80, 40},
            {"按钮3", K::Button, "近3月", 984, 368, 80, 40},
            {"按钮4", K::Button, "近6月", 1080, 368, 72, 40},
            {"按钮5", K::Button, "近1年", 1168, 368, 80, 40},
            {"按钮6", K::Button, "近2年", 1264, 368, 72, 40},
            {"按钮7", K::Button, "近3年", 1352, 368, 72, 40},
            {"标签1", K::Label, "注意：走势差异较大，以实际数据为准", 936, 424, 368, 32},
        },
    };
    return design;
}

const GridDesign& GridDesignNamed(std::string_view name) {
    static const std::map<std::string, GridDesign, std::less<>> designs{
        {FundListName, {FundListRows, 30, FundColumns()}},
        {WatchlistGridName, WatchlistGridDesign()},
        {CompareRowsName, {3, 30, FundColumns()}},
        {CurrentColumnNames.risk, {3, 28, RiskColumns()}},
        {CompareColumnNames.risk, {3, 28, RiskColumns()}},
        {CurrentColumnNames.holdings, {11, 22, HoldingColumns()}},
        {CompareColumnNames.holdings, {11, 22, HoldingColumns()}},
        {BasketRiskTableName, BasketRiskTableDesign()},
        {BasketCorrelationName, BasketCorrelationDesign()},
        {BasketOverlapName, BasketOverlapDesign()},
    };
    static const GridDesign none{1, 24, {}};
    auto it = designs.find(name);
    return it == designs.end() ? none : it->second;
}

const std::vector<ListColumn>& SuggestionListColumns() {
    static const std::vector<ListColumn> columns{{"名称", 210}, {"ID", 0}};
    return columns;
}

} // namespace fundlens
