#include "detail/detail_load.h"

#include "shell/windows.h"

namespace fundlens {

void DetailLoad::LoaderDone() {
    if (--loadersLeft == 0)
        run.Finish();
}

const DetailColumn& DetailLoad::Column() const {
    return run.Tag() == CompareColumnTag ? CompareColumn : CurrentColumn;
}

DetailLoadPtr StartDetailLoad(const Text& code, int loaders) {
    auto load = std::make_shared<DetailLoad>();
    load->run = CurrentColumnRuns().Start(MainWindow().widget(), CurrentColumnTag);
    load->code = code;
    load->loadersLeft = loaders;
    return load;
}

} // namespace fundlens
