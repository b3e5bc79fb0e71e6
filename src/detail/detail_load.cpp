#include "detail/detail_load.h"

#include "shell/windows.h"

namespace fundlens {

void DetailLoad::LoaderDone() {
    if (--loadersLeft == 0)
        run.Finish();
}

RunKind& DetailRuns() {
    static RunKind kind;
    return kind;
}

DetailLoadPtr StartDetailLoad(const Text& code, const DetailColumn& column, int loaders) {
    auto load = std::make_shared<DetailLoad>();
    load->run = DetailRuns().Start(MainWindow().widget());
    load->column = column;
    load->code = code;
    load->loadersLeft = loaders;
    return load;
}

} // namespace fundlens
