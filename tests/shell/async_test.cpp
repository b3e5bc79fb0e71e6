// Loaders and runs: results come back on the GUI thread; an overtaken run or a run whose window
// is gone is never resumed and its requests are cancelled; series keep their order and their
// limit; nothing escapes as an exception; dropped loaders free their frames.
#include "shell/async.h"
#include "support/gui_test.h"

#include <QCoreApplication>
#include <QThread>
#include <QWidget>
#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

namespace fundlens::test {
namespace {

using namespace std::chrono_literals;

// What one loader did; the loaders below take it by pointer (their parameters are by value).
struct Trace {
    std::atomic<bool> started{false};
    std::atomic<bool> sawCancel{false};
    int resumed = 0;
    bool onGuiThread = false;
    bool frameGone = false;
    bool frameGoneOnGuiThread = false;
    std::vector<int> order;
};

bool OnGuiThread() {
    return QThread::currentThread() == QCoreApplication::instance()->thread();
}

// Set when the loader's frame is destroyed, whether it returned or was dropped.
struct FrameWatch {
    Trace* trace;
    ~FrameWatch() {
        trace->frameGoneOnGuiThread = OnGuiThread();
        trace->frameGone = true;
    }
};

// A job held until its run is cancelled, as a request held by a portal.
bool HeldUntilCancelled(Trace* trace, const Cancellation& cancel) {
    trace->started = true;
    while (!cancel.Cancelled())
        std::this_thread::sleep_for(1ms);
    trace->sawCancel = true;
    return true;
}

Loader AwaitHeld(RunKind* kind, QObject* context, Trace* trace) {
    FrameWatch watch{trace};
    const RunToken run = kind->Start(context);
    Pending<bool> held = OnPool(
        run, [trace](const Cancellation& cancel) { return HeldUntilCancelled(trace, cancel); });
    co_await held;
    ++trace->resumed;
    run.Finish();
}

Loader AwaitValue(RunKind* kind, QObject* context, Trace* trace, int delayMs = 0) {
    FrameWatch watch{trace};
    const RunToken run = kind->Start(context);
    Pending<int> answer = OnPool(run, [trace, delayMs](const Cancellation&) {
        trace->started = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        return 42;
    });
    const int value = co_await answer;
    trace->onGuiThread = QThread::currentThread() == QCoreApplication::instance()->thread();
    trace->order.push_back(value);
    ++trace->resumed;
    run.Finish();
}

Loader AwaitSeries(RunKind* kind, QObject* context, Trace* trace, std::atomic<int>* running,
                   std::atomic<int>* mostAtOnce) {
    const RunToken run = kind->Start(context);
    std::vector<std::function<int(const Cancellation&)>> jobs;
    for (int i = 0; i < 12; ++i) {
        jobs.push_back([i, running, mostAtOnce](const Cancellation&) {
            const int now = ++*running;
            int seen = mostAtOnce->load();
            while (now > seen && !mostAtOnce->compare_exchange_weak(seen, now)) {
            }
            // Later jobs finish first: the series must still hand them over in order.
            std::this_thread::sleep_for(std::chrono::milliseconds(5 * (12 - i)));
            --*running;
            if (i == 5)
                throw std::runtime_error("a job that fails gives the default value");
            return i;
        });
    }
    std::vector<Pending<int>> results = OnPoolInOrder(run, std::move(jobs), 3);
    for (Pending<int>& result : results) {
        const int value = co_await result;
        trace->order.push_back(value);
    }
    run.Finish();
}

Loader Throwing(RunKind* kind, QObject* context, Trace* trace) {
    FrameWatch watch{trace};
    const RunToken run = kind->Start(context);
    Pending<int> answer = OnPool(run, [](const Cancellation&) { return 1; });
    co_await answer;
    throw std::runtime_error("the loader's own fault");
}

class AsyncTest : public ::testing::Test {
protected:
    // A test before may have closed its main window (the program ending: no run counts).
    void SetUp() override { SetProgramEnding(false); }
    void TearDown() override { DropLoaders(); }

    RunKind kind;
    QWidget window;
    Trace trace;
};

TEST_F(AsyncTest, ResultsResumeTheLoaderOnTheGuiThread) {
    AwaitValue(&kind, &window, &trace);
    EXPECT_EQ(trace.resumed, 0) << "never handed over inline";
    ASSERT_TRUE(WaitUntil([&] { return trace.frameGone; }));
    EXPECT_EQ(trace.order, std::vector<int>{42});
    EXPECT_TRUE(trace.onGuiThread);
    EXPECT_FALSE(kind.Running());
}

TEST_F(AsyncTest, AnOvertakenRunIsCancelledAndNeverResumed) {
    AwaitHeld(&kind, &window, &trace);
    ASSERT_TRUE(WaitUntil([&] { return trace.started.load(); }));
    Trace newer;
    AwaitValue(&kind, &window, &newer);
    ASSERT_TRUE(WaitUntil([&] { return trace.frameGone && newer.frameGone; }));
    EXPECT_TRUE(trace.sawCancel) << "the held request was cancelled";
    EXPECT_EQ(trace.resumed, 0) << "the overtaken run wrote nothing";
    EXPECT_EQ(newer.resumed, 1);
}

TEST_F(AsyncTest, ALoaderWhoseWindowIsGoneIsDropped) {
    auto context = std::make_unique<QWidget>();
    AwaitValue(&kind, context.get(), &trace, 100);
    ASSERT_TRUE(WaitUntil([&] { return trace.started.load(); }));
    context.reset(); // the result comes back to no window
    ASSERT_TRUE(WaitUntil([&] { return trace.frameGone; }));
    EXPECT_EQ(trace.resumed, 0);
    EXPECT_TRUE(kind.Running()) << "the run was neither finished nor superseded";
}

TEST_F(AsyncTest, SeriesKeepTheirOrderAndTheirLimit) {
    std::atomic<int> running = 0;
    std::atomic<int> mostAtOnce = 0;
    AwaitSeries(&kind, &window, &trace, &running, &mostAtOnce);
    ASSERT_TRUE(WaitUntil([&] { return trace.order.size() == 12; }));
    EXPECT_EQ(trace.order, (std::vector<int>{0, 1, 2, 3, 4, 0, 6, 7, 8, 9, 10, 11}));
    EXPECT_LE(mostAtOnce.load(), 3);
    EXPECT_GE(mostAtOnce.load(), 2);
}

TEST_F(AsyncTest, ALoadersExceptionEndsItQuietly) {
    Throwing(&kind, &window, &trace);
    ASSERT_TRUE(WaitUntil([&] { return trace.frameGone; }));
}

TEST_F(AsyncTest, DroppedLoadersFreeTheirFrames) {
    AwaitHeld(&kind, &window, &trace);
    ASSERT_TRUE(WaitUntil([&] { return trace.started.load(); }));
    DropLoaders();
    EXPECT_TRUE(trace.sawCancel);
    EXPECT_TRUE(trace.frameGone);
    EXPECT_EQ(trace.resumed, 0);
    ProcessEvents(); // the late hand-over finds nothing to resume
    EXPECT_EQ(trace.resumed, 0);
}

// A frame owns the loader's locals: wherever the run ended, its destructors run on the GUI thread
// (a result handed over by a worker must never take the frame down with it there).
TEST_F(AsyncTest, FramesAreDestroyedOnTheGuiThreadHoweverTheRunEnded) {
    const struct {
        const char* name;
        std::function<void(RunKind&, std::unique_ptr<QWidget>&)> end;
    } cases[] = {
        {"superseded", [](RunKind& k, auto&) { k.Stop(); }},
        {"its window gone", [](RunKind&, auto& window) { window.reset(); }},
        {"dropped at exit", [](RunKind&, auto&) { DropLoaders(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Trace t;
        auto context = std::make_unique<QWidget>();
        AwaitValue(&kind, context.get(), &t, 150);
        ASSERT_TRUE(WaitUntil([&] { return t.started.load(); }));
        c.end(kind, context);
        ASSERT_TRUE(WaitUntil([&] { return t.frameGone; }));
        EXPECT_TRUE(t.frameGoneOnGuiThread);
        EXPECT_EQ(t.resumed, 0);
        kind.Stop();
    }
}

TEST_F(AsyncTest, EndActionsRunOnceAndSayHowTheRunEnded) {
    std::vector<RunEnd> ends;
    const RunToken first = kind.Start(&window, 1, [&](RunEnd how) { ends.push_back(how); });
    const RunToken second = kind.Start(&window, 2, [&](RunEnd how) { ends.push_back(how); });
    EXPECT_FALSE(first.Current());
    EXPECT_TRUE(kind.Running(2));
    second.Finish();
    second.Finish();
    first.Finish();
    EXPECT_EQ(ends, (std::vector<RunEnd>{RunEnd::Superseded, RunEnd::Finished}));
    EXPECT_FALSE(kind.Running());
}

TEST_F(AsyncTest, StopEndsTheCurrentRunAndCancelsItsRequests) {
    AwaitHeld(&kind, &window, &trace);
    ASSERT_TRUE(WaitUntil([&] { return trace.started.load(); }));
    kind.Stop();
    EXPECT_FALSE(kind.Running());
    ASSERT_TRUE(WaitUntil([&] { return trace.frameGone; }));
    EXPECT_TRUE(trace.sawCancel);
    EXPECT_EQ(trace.resumed, 0);
    std::vector<RunEnd> ends;
    kind.Start(&window, 0, [&](RunEnd how) { ends.push_back(how); });
    kind.Stop();
    kind.Stop(); // nothing left to stop
    EXPECT_EQ(ends, std::vector<RunEnd>{RunEnd::Superseded});
}

} // namespace
} // namespace fundlens::test
