// The fund list's two ranking lists (five-star funds, one sector's funds), the sector window's
// handlers and sorting by period.
#pragma once

#include "text/text.h"

namespace fundlens {

struct EventRoutines;

// Loads the five-star funds; with both sortKey and sortOrder given, sorted by them.
void LoadFiveStarList(const Text& sortKey = {}, const Text& sortOrder = {});

// Loads the funds of one sector. While FirstSectorLoad is 1 every page asks for the default
// order and the sort texts are ignored; afterwards they are sent as they are, empty or not.
void LoadSectorList(int sectorCode, const Text& sortKey = {}, const Text& sortOrder = {});

// Reloads the shown list sorted by `sortKey`, descending or ascending as SortAscendingNext
// says, and flips SortAscendingNext once the reload has returned.
void ReloadSorted(const Text& sortKey);

// Event handlers.
void FiveStarButtonClicked();
void SectorChooserClicked();
void SectorButtonClicked(int button);
void SectorWindowDestroyed();
void FundListHeaderClicked(int row, int column);

} // namespace fundlens
