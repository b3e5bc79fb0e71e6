// The chart window's seven period buttons: the period each asks the compare endpoint for and
// the title it puts above the chart.
#pragma once

#include "text/text.h"

#include <optional>

namespace fundlens {

inline constexpr int PeriodButtons = 7;

struct Period {
    Text key;   // "week" … "threeyear"
    Text title; // GBK, "近1周收益率走势对比图"
};

// The period of 按钮1 … 按钮7; nothing for another number.
std::optional<Period> PeriodOfButton(int button);

// The period the chart window opens with.
inline constexpr const char* OpeningPeriodKey = "month";

} // namespace fundlens
