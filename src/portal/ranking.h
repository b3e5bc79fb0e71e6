// The portal's ranking endpoint: the queries of the five-star and sector lists, and the sort
// keys of the fund list's return columns.
#pragma once

#include "text/text.h"

namespace fundlens {

// A URL of the ranking endpoint with this query.
Text RankingUrl(const Text& query);

// The five-star list's probe (page 1, default order).
Text FiveStarProbeQuery();
// One page of the five-star list; without both sortKey and sortOrder in the default order.
Text FiveStarPageQuery(const Text& sortKey, const Text& sortOrder, int page);

// One page of a sector's list ("tp=BK0" + code); the texts go in as they are, empty or not.
Text SectorPageQuery(int sectorCode, const Text& sortKey, const Text& sortOrder, int page);
// The sort a sector list's probe, and every page of a run's first sector load, ask for.
inline constexpr const char* SectorDefaultSortKey = "3y";
inline constexpr const char* SectorDefaultSortOrder = "desc";

// The portal's sort key of a fund-list column ("r" for 日增长率 … "3n" for 近3年); empty for
// the columns that do not sort.
Text SortKeyOfColumn(int column);

} // namespace fundlens
