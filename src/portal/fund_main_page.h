// A fund's main page on the portal: its address and the net-value summary cut out of it.
#pragma once

#include "text/text.h"

#include <array>

namespace fundlens {

// 近1周, 近1月, 近3月, 近6月, 今年来, 近一年, 近2年, 近3年.
inline constexpr int PeriodReturnCount = 8;

// The figures of a main page as the page writes them ("2026-12-08", "1.2345", "0.85%").
struct MainPageFigures {
    Text date;
    Text netValue;    // unit net value
    Text dailyChange; // daily growth
    // The fund's own period returns in page order; empty where the page has none.
    std::array<Text, PeriodReturnCount> returns;
};

// The main page of a fund code. Its query value ends with a blank, which the request routines
// drop before sending.
Text MainPageUrl(const Text& code);

// The figures of a main page (GBK, as the request routine gives a page). A failed fetch or a
// page without the markers gives empty texts for what it lacks.
MainPageFigures CutMainPage(const Text& page);

// The fund's name in the main page's title block (GBK, entities such as "&amp;" read); empty
// when the page lacks the block.
Text CutMainPageName(const Text& page);

// The page gave the summary the watchlist values a position with: a date and a net value that
// is a number.
bool HasNetValue(const MainPageFigures& figures);

} // namespace fundlens
