#include "portal/fund_risk.h"

#include "portal/figures.h"
#include "portal/profile.h"
#include "text/regex_matcher.h"

#include <algorithm>

namespace fundlens {

namespace {

constexpr int GridColumns = 3;
constexpr int GridFigures = 6;

} // namespace

Text RiskPageUrl(const Text& code) {
    return PortalUrl(PortalHost::F10, "tsdata_" + code + ".html ");
}

std::vector<RiskCell> CutRisk(const Text& page) {
    const Text section = TextBetween(page, "<th class=\"num\">近3年</th>\r\n"_gbk,
                                     "<div class=\"limit-time\">截止至："_gbk);
    RegexMatcher matcher;
    std::vector<RiskCell> cells;
    if (section.empty() || !matcher.Create("class='num'>.*?</td>", section))
        return cells;
    const int count = std::min(matcher.MatchCount(), GridFigures);
    for (int i = 1; i <= count; ++i) {
        RiskCell cell;
        cell.row = 1 + (i - 1) / GridColumns;
        cell.column = 1 + (i - 1) % GridColumns;
        cell.text = MultiReplace(matcher.MatchText(i), {{"class='num'>", ""}, {"</td>", ""}});
        cell.color = RiskFigureColor(cell.row, cell.text);
        cells.push_back(std::move(cell));
    }
    return cells;
}

const Text& RiskTooltipText() {
    static const Text text =
        "标准差：反映基金收益率的波动程度。标准差越小，基金的历史阶段收益越稳定。\r\n\r\n"
        "夏普比率：反映基金承担单位风险，所能获得的超过无风险收益的超额收益。\r\n"
        "               夏普比率越大，基金的历史阶段绩效表现越佳。"_gbk;
    return text;
}

} // namespace fundlens
