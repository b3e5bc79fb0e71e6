// The fund list's two ranking lists (five-star funds, one sector's funds), the sector window's
// handlers and sorting by period. The loads run in the background; the buttons' states follow
// them (UpdateListButtons).
#pragma once

#include "shell/async.h"
#include "text/text.h"

#include <functional>

namespace fundlens {

// Starts loading the five-star funds; with both sortKey and sortOrder given, sorted by them.
// `onEnd` runs when the load has ended, however it ended.
void LoadFiveStarList(Text sortKey = {}, Text sortOrder = {},
                      std::function<void(RunEnd)> onEnd = {});

// Starts loading the funds of one sector. While FirstSectorLoad is 1 every page asks for the
// default order and the sort texts are ignored; afterwards they are sent as they are, empty or
// not. CurrentSectorCode is set once the probe's answer is in.
void LoadSectorList(int sectorCode, Text sortKey = {}, Text sortOrder = {},
                    std::function<void(RunEnd)> onEnd = {});

// Reloads the shown list sorted by `sortKey`, descending or ascending as SortAscendingNext
// says, and flips SortAscendingNext once the reload has ended.
void ReloadSorted(const Text& sortKey);

// Event handlers.
void FiveStarButtonClicked();
void SectorChooserClicked();
void SectorButtonClicked(int button);
void SectorWindowDestroyed();
void FundListHeaderClicked(int row, int column);

} // namespace fundlens
