// One selection's detail load, shared by its three loaders (profile and managers, rating and
// risk, holdings): its run, the column it writes and the fund code. A newer selection starts a
// new run, which supersedes this one: its loaders are not resumed any more and write nothing.
#pragma once

#include "runs/runs.h"
#include "shell/view_state.h"
#include "text/text.h"

#include <memory>

namespace fundlens {

struct DetailLoad {
    RunToken run;
    Text code;
    int loadersLeft = 0;

    // The column the run writes into now: the current one, or the compare column once the fund
    // has been pinned while loading.
    DetailSide Side() const;
    DetailColumnView& Column() const;
    // A loader has shown all it fetched; when it was the last, the run is over.
    void LoaderDone();
};

using DetailLoadPtr = std::shared_ptr<DetailLoad>;

// Starts a run for `code` written into the current column, superseding the load of an older
// selection; `loaders` loaders will share it.
DetailLoadPtr StartDetailLoad(const Text& code, int loaders);

} // namespace fundlens
