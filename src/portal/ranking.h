// The portal's ranking endpoint: the queries of the five-star and sector lists, and the sort
// keys of the fund list's return columns.
#pragma once

#include "portal/rank_record.h"
#include "text/text.h"
#include "web/cancellation.h"

namespace fundlens {

// A URL of the ranking endpoint with this query.
Text RankingUrl(const Text& query);

// The five-star list's probe (page 1, default order).
Text FiveStarProbeQuery();
// One page of the five-star list; without both sortKey and sortOrder in the default order.
Text FiveStarPageQuery(const Text& sortKey, const Text& sortOrder, int page);

// Fetches and cuts one ranking page, blocking (on a worker). A page that fails (no answer, an
// error status, a body cut short, an unreadable answer) is asked for once more; when that fails
// too the page comes back unreadable.
RankPage FetchRankPage(const Text& url, const Cancellation* cancel = nullptr);

// One page of a sector's list ("tp=BK0" + code); the texts go in as they are, empty or not.
Text SectorPageQuery(int sectorCode, const Text& sortKey, const Text& sortOrder, int page);
// The sort a sector list's probe, and every page of a run's first sector load, ask for.
inline constexpr const char* SectorDefaultSortKey = "3y";
inline constexpr const char* SectorDefaultSortOrder = "desc";

// The portal's sort key of a fund-list column ("r" for 日增长率 … "3n" for 近3年); empty for
// the columns that do not sort.
Text SortKeyOfColumn(int column);

} // namespace fundlens
