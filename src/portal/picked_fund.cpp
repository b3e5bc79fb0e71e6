#include "portal/picked_fund.h"

namespace fundlens {

namespace {

constexpr double HighReturn = 50;
constexpr std::size_t FirstReturnColumn = 5; // 近1周

} // namespace

std::array<ListCell, FundListColumns> PickedFundRow(const Text& name, const Text& code,
                                                    const MainPageFigures& figures) {
    std::array<ListCell, FundListColumns> row;
    row[0] = {name, std::nullopt};
    row[1] = {code, std::nullopt};
    row[2] = {figures.date, std::nullopt};
    row[3] = {figures.netValue, PickedFigureColor(figures.netValue)};
    row[4] = {figures.dailyChange, PickedFigureColor(figures.dailyChange)};
    for (std::size_t k = 0; k < figures.returns.size(); ++k) {
        const Text& value = figures.returns[k];
        row[FirstReturnColumn + k] = {value, PickedReturnColor(value)};
    }
    return row;
}

Rgb PickedFigureColor(const Text& cellText) {
    return IsAbove(TextToNumber(cellText), 0) ? RgbRed : RgbGreen;
}

Rgb PickedReturnColor(const Text& cellText) {
    const double v = TextToNumber(cellText);
    if (IsAbove(v, HighReturn))
        return RgbBlue;
    return IsAbove(v, 0) ? RgbRed : RgbGreen;
}

} // namespace fundlens
