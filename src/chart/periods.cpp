#include "chart/periods.h"

#include <array>

namespace fundlens {

std::optional<Period> PeriodOfButton(int button) {
    // Left to right on the window; the last title has an extra "月" after "近3年".
    static const std::array<Period, PeriodButtons> periods{{
        {"week", "近1周收益率走势对比图"_gbk},
        {"month", "近1月收益率走势对比图"_gbk},
        {"threemonth", "近3月收益率走势对比图"_gbk},
        {"sixmonth", "近6月收益率走势对比图"_gbk},
        {"year", "近1年收益率走势对比图"_gbk},
        {"twoyear", "近2年收益率走势对比图"_gbk},
        {"threeyear", "近3年月收益率走势对比图"_gbk},
    }};
    if (button < 1 || button > PeriodButtons) {
        return std::nullopt;
    }
    return periods[static_cast<std::size_t>(button - 1)];
}

} // namespace fundlens
