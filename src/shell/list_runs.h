// The fund list 高级表格1 has one writer at a time: the five-star and sector loads (sort reloads
// included) and the search pick are runs of one kind, each superseding the one before.
#pragma once

#include "shell/async.h"

namespace fundlens {

enum FundListRunTag { FiveStarListRun = 1, SectorListRun = 2, PickedFundRun = 3 };

RunKind& FundListRuns();

} // namespace fundlens
