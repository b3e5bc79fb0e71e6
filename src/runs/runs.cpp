#include "runs/runs.h"

namespace fundlens {

namespace {

std::array<RunKind, RunKinds>& Kinds() {
    static std::array<RunKind, RunKinds> kinds;
    return kinds;
}

void EndAll(RunSet set) {
    for (int k = 0; k < RunKinds; ++k) {
        if (Contains(set, static_cast<RunName>(k)))
            Kinds()[static_cast<std::size_t>(k)].Stop();
    }
}

RunSet StartEnds(RunName run) {
    for (const StartRule& rule : StartTable) {
        if (rule.run == run)
            return rule.ends;
    }
    return 0;
}

} // namespace

RunKind& KindOf(RunName run) {
    return Kinds()[static_cast<std::size_t>(run)];
}

RunToken StartRun(RunName run, QObject* context, int tag, std::function<void(RunEnd)> onEnd) {
    EndAll(StartEnds(run) & ~RunsOf({run}));
    return KindOf(run).Start(context, tag, std::move(onEnd));
}

void EndRuns(RunEvent event) {
    for (const EventRule& rule : EventTable) {
        if (rule.event == event)
            EndAll(rule.ends);
    }
}

bool IsRunning(RunName run) {
    return KindOf(run).Running();
}

bool IsRunning(RunName run, int tag) {
    return KindOf(run).Running(tag);
}

void PinLoadingDetail() {
    RunKind& current = KindOf(RunName::DetailLoad);
    if (current.Running())
        KindOf(RunName::CompareColumnLoad).Adopt(current.CurrentRun(), CompareColumnTag);
}

} // namespace fundlens
