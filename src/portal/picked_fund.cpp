#include "portal/picked_fund.h"

namespace fundlens {

namespace {

constexpr std::size_t FirstReturnColumn = 5; // 近1周

} // namespace

FundListRow PickedFundRow(const Text& name, const Text& code, const MainPageFigures& figures) {
    FundListRow row;
    row[0] = {name, std::nullopt};
    row[1] = {code, std::nullopt};
    row[2] = {figures.date, std::nullopt};
    row[3] = {figures.netValue, SignColorOf(figures.netValue)};
    row[4] = {figures.dailyChange, SignColorOf(figures.dailyChange)};
    for (std::size_t k = 0; k < figures.returns.size(); ++k) {
        const Text& value = figures.returns[k];
        row[FirstReturnColumn + k] = {value, PickedReturnColor(value)};
    }
    return row;
}

} // namespace fundlens
