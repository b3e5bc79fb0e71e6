// The basket window "多基金对比": opened by 多基金对比钮 beside the main window, it shows the
// basket's funds (starting with the two compare slots' funds when the basket is empty) for the
// chosen period, and loads their curves and archives afresh each time it opens.
#pragma once

#include "text/text.h"

#include <string>

namespace fundlens {

// 多基金对比钮: opens the window (raises it when open).
void OpenBasketWindow();

// A period button (1 … 7, the chart window's periods): its curves are loaded, and the title
// above the chart becomes the period's once the load has ended.
void SelectBasketPeriod(int button);

// The window is closing: its loads end, its chart goes with it; the basket stays.
void BasketWindowClosed();

// 导出表格钮: asks for a file and writes the tables into it as CSV (the export's CSV).
void ExportBasketTables();

// The file name the export suggests.
inline constexpr const char* BasketCsvName = "多基金对比.csv";

} // namespace fundlens
