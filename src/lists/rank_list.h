// Loading a ranking list into the fund list page by page: the part the five-star list and the
// sector lists share.
#pragma once

#include "text/text.h"

#include <functional>

namespace fundlens {

struct RankListSource {
    Text probeUrl;                         // page 1 with the list's default order
    std::function<Text(int page)> pageUrl; // asked once per page, in page order
    Text titlePrefix;                      // "五星基金", or the sector's name + "板块"
    std::function<void()> afterProbe;      // runs once the probe's answer is in (may be empty)
};

// Clears the fund list, reads the page count from the probe, then fetches every page and
// shows its records, colouring the return columns; the main window's title reports progress
// and the outcome. 五星基金钮 stays disabled while a list loads.
void LoadRankList(const RankListSource& source);

// True while a list load runs (another handler may run inside it at the request routine's
// pump points).
bool ListLoadRunning();

} // namespace fundlens
