// Loading a ranking list into the fund list: the loader the five-star list and the sector lists
// share, and the state of the list buttons.
#pragma once

#include "runs/runs.h"
#include "text/text.h"

#include <functional>

namespace fundlens {

struct RankListSource {
    ListLoadTag kind = FiveStarListTag;
    Text probeUrl;                         // page 1 with the list's default order
    std::function<Text(int page)> pageUrl; // asked once per page, after the probe's answer
    Text titlePrefix;                      // "五星基金", or the sector's name + "板块"
    std::function<void()> afterProbe;      // runs once the probe's answer is in (may be empty)
    std::function<void(RunEnd)> onEnd;     // the run's end action (may be empty)
};

// Clears the fund list, reads the page count from the probe, then fetches the pages (several at
// once) and shows their records in page order, the return columns coloured; the main window's
// title reports progress and the outcome. A page that fails twice ends the load with the
// failure title, the rows loaded before it staying. Overtakes any other writer of the list.
Loader LoadRankList(RankListSource source);

// True while a five-star or sector load runs.
bool ListLoadRunning();

// The enabled state of 五星基金钮, 选择板块钮 and 净值走势钮 from the facts: which list load runs,
// and whether the sector window is open.
void UpdateListButtons();
void SetSectorWindowOpen(bool open);

// Pages requested at the same time.
inline constexpr int MaxPagesAtOnce = 8;

} // namespace fundlens
