#include "detail/detail_column.h"

#include "shell/windows.h"

namespace fundlens {

namespace {

// What a grid cell that was never coloured reads as.
constexpr Rgb UntouchedCellColor = RgbBlack;

} // namespace

Label DetailColumn::NameLabel() const {
    return MainWindow().LabelNamed(name);
}

Label DetailColumn::SizeLabel() const {
    return MainWindow().LabelNamed(size);
}

Label DetailColumn::ManagersLabel() const {
    return MainWindow().LabelNamed(managers);
}

Label DetailColumn::RatingLabel() const {
    return MainWindow().LabelNamed(rating);
}

Label DetailColumn::TenureLabel() const {
    return MainWindow().LabelNamed(tenure);
}

Grid DetailColumn::RiskGrid() const {
    return MainWindow().GridNamed(risk);
}

Grid DetailColumn::HoldingsGrid() const {
    return MainWindow().GridNamed(holdings);
}

void EmptyDetailColumn(const DetailColumn& column) {
    for (Label label :
         {column.SizeLabel(), column.ManagersLabel(), column.RatingLabel(), column.TenureLabel()})
        label.SetCaption({});
    Grid risk = column.RiskGrid();
    for (int row = 1; row <= RiskRows; ++row) {
        for (int year = 1; year <= RiskYears; ++year) {
            risk.SetCellText(row, year, {});
            risk.SetCellColor(row, year, UntouchedCellColor);
        }
    }
    column.HoldingsGrid().Reset();
}

} // namespace fundlens
