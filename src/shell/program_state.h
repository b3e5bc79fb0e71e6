// Program-wide state: one instance for the run, used on the GUI thread only.
#pragma once

#include "shell/controls.h"
#include "shell/view_state.h"
#include "text/text.h"

#include <QImage>
#include <optional>
#include <vector>

namespace fundlens {

// Rows × columns of texts (the chart's read-out table).
using TextTable = std::vector<std::vector<Text>>;

// The chart drawn on the chart window's panel and its mouse read-out.
struct ChartState {
    DrawPanel panel;                              // where the chart is drawn
    int left = 0, right = 0, bottom = 0, top = 0; // plot rectangle
    int intervals = 0;                            // N: horizontal intervals between points
    float ymin = 0, ymax = 0;                     // vertical value range
    int rowCount = 0;                             // rows in ReadoutTable
    std::optional<QImage> savedImage;             // the finished chart; absent before a series
    TextTable ReadoutTable;                       // names, colours, one text per point
    int crosshairX = 0, crosshairY = 0;           // last crosshair; (0, 0): none drawn
    int boxX = 0;                                 // left edge of the read-out box; 0: not placed
    int lastColumn = 0;                           // point last shown in the box; 0: none
    Text horizontalSpec, verticalSpec;            // the two axis descriptions last drawn
};

struct ProgramState {
    int ProgramVersion = 0;
    int SortAscendingNext = 0;
    int FirstSectorLoad = 0;
    int ListIsFiveStar = 0;
    int CurrentSectorCode = 0;
    Text CurrentSectorName;
    Text CurrentFundCode;
    Text CompareFundCode;
    int SearchPickFlag = 0;
    Text CompareCodes;
    ::fundlens::ChartState ChartState;
    ::fundlens::ChartState BasketChartState; // the comparison basket's chart
    // What the windows show, as values.
    ViewState Views;
};

// The run's one instance.
ProgramState& State();

// Back to the values before start-up (every field zero or empty, no saved chart image).
void ResetProgramState();

} // namespace fundlens
