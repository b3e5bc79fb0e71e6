// One selection's detail load, shared by its three loaders (profile and managers, rating and
// risk, holdings): its run, the column it writes and the fund code. A newer selection starts a
// new run, which supersedes this one: its loaders are not resumed any more and write nothing.
#pragma once

#include "detail/detail_column.h"
#include "shell/async.h"
#include "text/text.h"

#include <memory>

namespace fundlens {

struct DetailLoad {
    RunToken run;
    DetailColumn column;
    Text code;
    int loadersLeft = 0;

    // A loader has shown all it fetched; when it was the last, the run is over.
    void LoaderDone();
};

using DetailLoadPtr = std::shared_ptr<DetailLoad>;

// The detail loads: one current selection at a time.
RunKind& DetailRuns();

// Starts a run for `code` written into `column`, superseding the load of an older selection;
// `loaders` loaders will share it.
DetailLoadPtr StartDetailLoad(const Text& code, const DetailColumn& column, int loaders);

} // namespace fundlens
