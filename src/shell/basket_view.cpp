#include "shell/basket_view.h"

#include <algorithm>

namespace fundlens {

const Figure* FigureTable::Cell(int row, int column) const {
    if (row < 0 || row >= Rows())
        return nullptr;
    const auto& line = cells[static_cast<std::size_t>(row)];
    return column >= 0 && column < static_cast<int>(line.size())
               ? &line[static_cast<std::size_t>(column)]
               : nullptr;
}

Text FigureTable::Tip(int row, int column) const {
    if (row < 0 || row >= static_cast<int>(tips.size()))
        return Text();
    const auto& line = tips[static_cast<std::size_t>(row)];
    return column >= 0 && column < static_cast<int>(line.size())
               ? line[static_cast<std::size_t>(column)]
               : Text();
}

std::vector<Text> BasketView::Codes() const {
    std::vector<Text> codes;
    codes.reserve(funds.size());
    for (const BasketFund& fund : funds)
        codes.push_back(fund.code);
    return codes;
}

const BasketFund* BasketView::Find(const Text& code) const {
    const auto found = std::find_if(funds.begin(), funds.end(),
                                    [&](const BasketFund& fund) { return fund.code == code; });
    return found == funds.end() ? nullptr : &*found;
}

} // namespace fundlens
