#include "detail/detail_load.h"

#include "shell/program_state.h"
#include "shell/windows.h"

namespace fundlens {

void DetailLoad::LoaderDone() {
    if (--loadersLeft == 0)
        run.Finish();
}

DetailSide DetailLoad::Side() const {
    return run.Tag() == CompareColumnTag ? DetailSide::Compare : DetailSide::Current;
}

DetailColumnView& DetailLoad::Column() const {
    return State().Views.Column(Side());
}

DetailLoadPtr StartDetailLoad(const Text& code, int loaders) {
    auto load = std::make_shared<DetailLoad>();
    load->run = StartRun(RunName::DetailLoad, MainWindow().widget(), CurrentColumnTag);
    load->code = code;
    load->loadersLeft = loaders;
    return load;
}

} // namespace fundlens
