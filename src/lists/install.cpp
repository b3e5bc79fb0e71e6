#include "lists/install.h"

#include "lists/fund_lists.h"
#include "lists/rank_list.h"
#include "lists/search_box.h"
#include "shell/event_routines.h"

namespace fundlens {

void InstallListRoutines(EventRoutines& routines) {
    routines.fiveStarClicked = FiveStarButtonClicked;
    routines.sectorChooserClicked = SectorChooserClicked;
    routines.sectorButtonClicked = SectorButtonClicked;
    routines.sectorWindowDestroyed = SectorWindowDestroyed;
    routines.headerClicked = FundListHeaderClicked;
    routines.searchFocused = SearchBoxFocused;
    routines.searchChanged = [](const Text& content) { LoadSuggestions(content); };
    SetSectorWindowOpen(false);
}

} // namespace fundlens
