#include "detail/detail_column.h"

namespace fundlens {

void EmptyDetailColumn(DetailColumnView& column) {
    column.size.clear();
    column.managers.clear();
    column.rating.clear();
    column.tenure.text.clear();
    for (auto& row : column.risk)
        row.fill(Figure{});
    column.holdings.fill(HoldingRow{});
}

} // namespace fundlens
