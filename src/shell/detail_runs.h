// A fund's detail is written by a run of the current column, one selection at a time. Pinned for
// comparison while its answers are still arriving, the run moves to the compare column (its tag
// says which column its writes go to): a new selection no longer overtakes it, a later
// "加入对比" or "删除对比" does.
#pragma once

#include "shell/async.h"

namespace fundlens {

enum DetailColumnTag { CurrentColumnTag = 1, CompareColumnTag = 2 };

RunKind& CurrentColumnRuns();
RunKind& CompareColumnRuns();

// The detail still loading for the current column now writes into the compare column.
void RetargetDetailToCompareColumn();

} // namespace fundlens
