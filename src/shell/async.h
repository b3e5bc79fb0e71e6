// Loaders: coroutines that run on the GUI thread and await work done on the I/O pool.
//
// A loader is a coroutine returning `Loader`. It starts at once, on the GUI thread, and runs until
// its first co_await. `OnPool(run, job)` hands a blocking job (a web request and its cut) to a
// worker of the I/O pool and returns a `Pending<T>`; `co_await` on it suspends the loader, and the
// worker's result comes back through a queued call on the GUI thread, which resumes the loader
// there. Results are never handed over inline.
//
// Each loader belongs to a run of a `RunKind`: starting a newer run of the same kind supersedes the
// older one (its requests are cancelled: queued ones skipped, running ones aborted). A loader whose
// run is no longer current (superseded, finished, its window gone, the program ending) is not
// resumed: its frame is destroyed on the GUI thread when its result comes back. A loader still
// checks `run.Current()` after every system wait it runs itself (a message box's or the chart
// window's exec()), since those run on its stack.
//
// Rules for loaders: take parameters by value (a reference dangles after the first suspension);
// put Pending values in named locals and co_await those (no temporaries in co_await operands);
// no RAII guard inside a loader touches widgets (a dropped frame runs its destructors) — state to
// restore on every path goes in the run's end action.
#pragma once

#include "web/cancellation.h"

#include <QPointer>
#include <coroutine>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

namespace fundlens {

// The coroutine type of loaders: started at once, owned by whatever it awaits while suspended,
// gone when it returns.
class Loader {
public:
    struct promise_type {
        Loader get_return_object() noexcept { return {}; }
        std::suspend_never initial_suspend() noexcept { return {}; }
        std::suspend_never final_suspend() noexcept { return {}; }
        void return_void() noexcept {}
        void unhandled_exception() noexcept;
    };
};

class RunKind;

// How a run ended, for its end action: it finished, or a newer run (or the end of the program,
// or a Stop) ended it first.
enum class RunEnd { Finished, Superseded };

namespace detail {

struct RunState {
    RunKind* kind = nullptr;
    int tag = 0;
    QPointer<QObject> context;
    Cancellation cancellation;
    bool ended = false;
    std::function<void(RunEnd)> onEnd;
};

} // namespace detail

// One run of a loader: what says whether its results still count.
class RunToken {
public:
    RunToken() = default;

    // True while the run is the current one of its kind, has not finished, its window still
    // exists and the program is not ending. Only a current run writes.
    bool Current() const;
    // The run is over: its kind becomes idle (when this is still its run) and its end action runs.
    // Does nothing for a run that has ended already.
    void Finish() const;
    // The tag the run was started (or last adopted) with.
    int Tag() const;
    const Cancellation* cancellation() const;
    const std::shared_ptr<detail::RunState>& state() const { return m_state; }

private:
    friend class RunKind;
    explicit RunToken(std::shared_ptr<detail::RunState> state) : m_state(std::move(state)) {}

    std::shared_ptr<detail::RunState> m_state;
};

// A kind of loader with at most one current run.
class RunKind {
public:
    RunKind();
    ~RunKind();
    RunKind(const RunKind&) = delete;
    RunKind& operator=(const RunKind&) = delete;

    // Starts a run whose results go to `context` (a window). The current run, if any, is
    // superseded: it ends (its requests are cancelled, its end action runs). `onEnd` runs once,
    // on the GUI thread, when the new run finishes or is superseded or stopped.
    RunToken Start(QObject* context, int tag = 0, std::function<void(RunEnd)> onEnd = {});
    // Takes over a run of another kind, which becomes idle without ending it; the run is this
    // kind's current one from now on (superseding the current one), with a new tag.
    void Adopt(const RunToken& run, int tag);
    // Ends the current run, if any, without starting another.
    void Stop();

    bool Running() const { return m_current != nullptr; }
    bool Running(int tag) const { return m_current && m_current->tag == tag; }
    RunToken CurrentRun() const { return RunToken(m_current); }

    // Called on the GUI thread whenever a run of this kind starts or ends.
    void SetOnChange(std::function<void()> onChange) { m_onChange = std::move(onChange); }

private:
    friend class RunToken;
    // By value: ending the current run resets m_current, which may be where the argument lives.
    void End(std::shared_ptr<detail::RunState> state, RunEnd how);
    // Ends the current run without its end action (the program or test is ending).
    void Drop();
    friend void DropLoaders();
    void Changed() const;

    std::shared_ptr<detail::RunState> m_current;
    std::function<void()> m_onChange;
};

namespace detail {

// What a Pending shares with the worker and the queued call that hands its result over.
class PendingBase {
public:
    virtual ~PendingBase() = default;

    std::shared_ptr<RunState> run;
    std::coroutine_handle<> waiter; // the loader awaiting this result, if any
    bool ready = false;
    std::function<void()> onReady; // GUI thread, once the result is in
};

template <class T>
class PendingState : public PendingBase {
public:
    std::optional<T> value;
};

// GUI side of the hand-over: registers the suspended loader; delivers at once (through the
// queue) when the result is already in.
void Suspend(const std::shared_ptr<PendingBase>& state, std::coroutine_handle<> loader);
// Worker side: through `handOver` (the object PrepareHandOver gave when the job was queued),
// `store` puts the result into the state on the GUI thread, then the result is delivered (the
// loader resumed, or its frame destroyed when its run no longer counts).
void PostResult(QObject* handOver, std::shared_ptr<PendingBase> state, std::function<void()> store);
// Queues a job on the I/O pool.
void StartOnPool(std::function<void()> job);
// The GUI-thread end of the hand-over (called on the GUI thread, where it is made the first
// time); a job carries it to its worker.
QObject* PrepareHandOver();

} // namespace detail

// The result of a job on the pool, to be awaited once.
template <class T>
class Pending {
public:
    explicit Pending(std::shared_ptr<detail::PendingState<T>> state,
                     std::shared_ptr<void> keepAlive = {})
        : m_state(std::move(state)), m_keepAlive(std::move(keepAlive)) {}

    bool await_ready() const noexcept { return false; } // always through the queue
    void await_suspend(std::coroutine_handle<> loader) { detail::Suspend(m_state, loader); }
    T await_resume() { return std::move(*m_state->value); }

    const std::shared_ptr<detail::PendingState<T>>& state() const { return m_state; }

private:
    std::shared_ptr<detail::PendingState<T>> m_state;
    std::shared_ptr<void> m_keepAlive;
};

template <class F>
using JobResult = std::invoke_result_t<F&, const Cancellation&>;

namespace detail {

// The pool job for one Pending: runs `work` unless the run was cancelled (then the result is a
// default T), catching every exception (a default T too), and hands the result over.
template <class T, class F>
void Launch(std::shared_ptr<PendingState<T>> state, F work) {
    QObject* handOver = PrepareHandOver();
    StartOnPool([handOver, state = std::move(state), work = std::move(work)]() mutable {
        T value{};
        const Cancellation& cancellation = state->run->cancellation;
        if (!cancellation.Cancelled()) {
            try {
                value = work(cancellation);
            } catch (...) {
                value = T{};
            }
        }
        PendingState<T>* target = state.get();
        PostResult(handOver, std::move(state), [target, value = std::move(value)]() mutable {
            target->value = std::move(value);
        });
    });
}

} // namespace detail

// Runs `work(cancellation)` on the I/O pool for `run`; called on the GUI thread.
template <class F>
Pending<JobResult<F>> OnPool(const RunToken& run, F work) {
    using T = JobResult<F>;
    auto state = std::make_shared<detail::PendingState<T>>();
    state->run = run.state();
    detail::Launch<T>(state, std::move(work));
    return Pending<T>(std::move(state));
}

// Runs every job on the I/O pool for `run`, at most `maxAtOnce` at a time, started in the order
// given; the results are awaited one by one, in that order.
template <class T>
std::vector<Pending<T>> OnPoolInOrder(const RunToken& run,
                                      std::vector<std::function<T(const Cancellation&)>> jobs,
                                      int maxAtOnce) {
    struct Series {
        std::vector<std::shared_ptr<detail::PendingState<T>>> states;
        std::vector<std::function<T(const Cancellation&)>> jobs;
        std::size_t next = 0;

        void StartNext() {
            if (next < jobs.size()) {
                detail::Launch<T>(states[next], std::move(jobs[next]));
                ++next;
            }
        }
    };
    auto series = std::make_shared<Series>();
    series->jobs = std::move(jobs);
    std::vector<Pending<T>> pendings;
    for (std::size_t i = 0; i < series->jobs.size(); ++i) {
        auto state = std::make_shared<detail::PendingState<T>>();
        state->run = run.state();
        state->onReady = [weak = std::weak_ptr<Series>(series)] {
            if (auto alive = weak.lock())
                alive->StartNext();
        };
        series->states.push_back(state);
        pendings.emplace_back(state, series);
    }
    for (int i = 0; i < maxAtOnce; ++i)
        series->StartNext();
    return pendings;
}

// Ends every run (their requests cancelled, their end actions not run), waits for the pool's
// workers and destroys the frames of loaders still waiting: at exit (after AbortAllTransfers)
// and between tests. On the GUI thread.
void DropLoaders();

// From now on no run counts as current (the main window has closed: the program is ending);
// DropLoaders still has to run. A new main window clears it.
void SetProgramEnding(bool ending = true);

// Workers of the I/O pool.
inline constexpr int IoThreads = 12;

} // namespace fundlens
