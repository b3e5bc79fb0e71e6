#include "compare/compare_colors.h"

#include "portal/picked_fund.h"

namespace fundlens {

namespace {

constexpr const char* NoFigure = "--";

} // namespace

std::optional<Rgb> RiskCellColor(int row, const Text& text) {
    if (text == NoFigure) {
        return std::nullopt;
    }
    return PickedFigureColor(row == DeviationRow ? TextBeforeFirst(text, "%") : text);
}

Rgb HoldingChangeColor(const Text& text) {
    return PickedFigureColor(text);
}

} // namespace fundlens
