// The table of runs at work: a start ends its own kind's run and exactly the runs its row
// names, an event exactly the runs of its row; a pinned fund's loading detail moves to the
// compare column and keeps counting.
#include "runs/runs.h"
#include "support/gui_test.h"

#include <QWidget>

namespace fundlens::test {
namespace {

class RunsTest : public ::testing::Test {
protected:
    void TearDown() override { DropLoaders(); }

    // A run of every kind (started side by side, past the table), each with an end action
    // that records that it ended.
    void StartEveryKind() {
        for (int k = 0; k < RunKinds; ++k)
            KindOf(static_cast<RunName>(k)).Stop(); // the runs of the case before
        ended.fill(false);
        for (int k = 0; k < RunKinds; ++k)
            tokens[static_cast<std::size_t>(k)] =
                KindOf(static_cast<RunName>(k)).Start(&window, 0, [this, k](RunEnd) {
                    ended[static_cast<std::size_t>(k)] = true;
                });
    }
    std::string Ended() const {
        std::string kinds;
        for (int k = 0; k < RunKinds; ++k)
            kinds += ended[static_cast<std::size_t>(k)] ? '1' : '0';
        return kinds;
    }
    static std::string Expected(RunSet set) {
        std::string kinds;
        for (int k = 0; k < RunKinds; ++k)
            kinds += Contains(set, static_cast<RunName>(k)) ? '1' : '0';
        return kinds;
    }

    QWidget window;
    std::array<RunToken, RunKinds> tokens;
    std::array<bool, RunKinds> ended{};
};

TEST_F(RunsTest, AStartEndsItsOwnKindAndWhatItsRowNames) {
    for (const StartRule& rule : StartTable) {
        SCOPED_TRACE(static_cast<int>(rule.run));
        StartEveryKind();
        const RunToken started = StartRun(rule.run, &window);
        EXPECT_EQ(Ended(), Expected(rule.ends | RunsOf({rule.run})));
        EXPECT_TRUE(started.Current());
        EXPECT_TRUE(IsRunning(rule.run));
    }
}

TEST_F(RunsTest, AnEventEndsWhatItsRowNamesAndStartsNothing) {
    for (const EventRule& rule : EventTable) {
        SCOPED_TRACE(static_cast<int>(rule.event));
        StartEveryKind();
        EndRuns(rule.event);
        EXPECT_EQ(Ended(), Expected(rule.ends));
        for (int k = 0; k < RunKinds; ++k)
            EXPECT_EQ(IsRunning(static_cast<RunName>(k)),
                      !Contains(rule.ends, static_cast<RunName>(k)));
    }
}

TEST_F(RunsTest, APinnedFundsLoadingDetailMovesToTheCompareColumn) {
    bool ended = false;
    const RunToken detail =
        StartRun(RunName::DetailLoad, &window, CurrentColumnTag, [&](RunEnd) { ended = true; });
    const RunToken older = StartRun(RunName::CompareColumnLoad, &window, CompareColumnTag);
    EndRuns(RunEvent::FundPinned);
    EXPECT_FALSE(older.Current()) << "the fund pinned before writes nothing more";
    PinLoadingDetail();
    EXPECT_TRUE(detail.Current());
    EXPECT_EQ(detail.Tag(), CompareColumnTag);
    EXPECT_FALSE(IsRunning(RunName::DetailLoad));
    EXPECT_TRUE(IsRunning(RunName::CompareColumnLoad));
    StartRun(RunName::DetailLoad, &window, CurrentColumnTag); // a new selection
    EXPECT_TRUE(detail.Current()) << "does not overtake the pinned fund's load";
    EndRuns(RunEvent::PinRemoved);
    EXPECT_FALSE(detail.Current());
    EXPECT_TRUE(ended);
}

} // namespace
} // namespace fundlens::test
