#include "shell/async.h"

#include <QCoreApplication>
#include <QThreadPool>
#include <algorithm>
#include <cstdio>
#include <exception>
#include <unordered_map>

namespace fundlens {

namespace {

// Everything below is used on the GUI thread only, except the pool. Workers reach the GUI thread
// through the hand-over object whose address their job was given when it was queued.

bool g_programEnding = false;

std::vector<RunKind*>& Kinds() {
    static std::vector<RunKind*> kinds;
    return kinds;
}

// Loaders suspended on a Pending, by frame address.
std::unordered_map<void*, detail::PendingBase*>& Suspended() {
    static std::unordered_map<void*, detail::PendingBase*> suspended;
    return suspended;
}

QThreadPool& IoPool() {
    static QThreadPool* pool = [] {
        auto* p = new QThreadPool; // lives to the end of the process: workers may outlive main
        p->setMaxThreadCount(IoThreads);
        p->setExpiryTimeout(-1); // idle workers keep their kept-alive connections
        return p;
    }();
    return *pool;
}

// The GUI-thread end of the hand-over: queued calls go to this object. Made on the GUI thread by
// the first job queued, it is never destroyed or replaced (a queued call may still be on its way
// at exit), so the address a job carries stays valid for as long as the job runs.
QObject* HandOverTarget() {
    static QObject* const target = new QObject;
    return target;
}

bool RunCounts(const detail::RunState& run) {
    return !g_programEnding && !run.ended && !run.context.isNull();
}

// Resumes the loader waiting for `state`, or destroys its frame when its run no longer counts.
void Deliver(detail::PendingBase& state) {
    if (!state.waiter)
        return;
    const std::coroutine_handle<> loader = std::exchange(state.waiter, {});
    Suspended().erase(loader.address());
    if (state.run && RunCounts(*state.run))
        loader.resume();
    else
        loader.destroy();
}

void PostDelivery(std::shared_ptr<detail::PendingBase> state) {
    QMetaObject::invokeMethod(
        HandOverTarget(), [state = std::move(state)] { Deliver(*state); }, Qt::QueuedConnection);
}

} // namespace

void Loader::promise_type::unhandled_exception() noexcept {
    // Never let an exception reach Qt's dispatch: the loader just ends.
    try {
        throw;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "fundlens: a loader ended with an exception: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "fundlens: a loader ended with an exception\n");
    }
}

// ---------------------------------------------------------------- runs

bool RunToken::Current() const {
    return m_state && RunCounts(*m_state);
}

void RunToken::Finish() const {
    if (m_state && m_state->kind)
        m_state->kind->End(m_state, RunEnd::Finished);
}

int RunToken::Tag() const {
    return m_state ? m_state->tag : 0;
}

const Cancellation* RunToken::cancellation() const {
    return m_state ? &m_state->cancellation : nullptr;
}

RunKind::RunKind() {
    Kinds().push_back(this);
}

RunKind::~RunKind() {
    std::erase(Kinds(), this);
}

RunToken RunKind::Start(QObject* context, int tag, std::function<void(RunEnd)> onEnd) {
    auto state = std::make_shared<detail::RunState>();
    state->kind = this;
    state->tag = tag;
    state->context = context;
    state->onEnd = std::move(onEnd);
    const std::shared_ptr<detail::RunState> previous = std::exchange(m_current, state);
    if (previous)
        End(previous, RunEnd::Superseded);
    Changed();
    return RunToken(state);
}

void RunKind::Adopt(const RunToken& run, int tag) {
    const std::shared_ptr<detail::RunState>& state = run.state();
    if (!state || state->ended)
        return;
    RunKind* from = state->kind;
    if (from != this && from != nullptr && from->m_current == state) {
        from->m_current.reset();
        from->Changed();
    }
    state->kind = this;
    state->tag = tag;
    if (m_current != state) {
        const std::shared_ptr<detail::RunState> previous = std::exchange(m_current, state);
        if (previous)
            End(previous, RunEnd::Superseded);
    }
    Changed();
}

void RunKind::Stop() {
    if (m_current)
        End(m_current, RunEnd::Superseded);
}

void RunKind::End(std::shared_ptr<detail::RunState> state, RunEnd how) {
    if (state->ended)
        return;
    state->ended = true;
    state->cancellation.Cancel();
    const bool wasCurrent = m_current == state;
    if (wasCurrent)
        m_current.reset();
    if (std::function<void(RunEnd)> onEnd = std::move(state->onEnd))
        onEnd(how);
    if (wasCurrent)
        Changed();
}

void RunKind::Drop() {
    if (const std::shared_ptr<detail::RunState> state = std::exchange(m_current, nullptr)) {
        state->ended = true;
        state->onEnd = nullptr;
        state->cancellation.Cancel();
    }
}

void RunKind::Changed() const {
    if (m_onChange)
        m_onChange();
}

// ---------------------------------------------------------------- hand-over

namespace detail {

QObject* PrepareHandOver() {
    return HandOverTarget();
}

void Suspend(const std::shared_ptr<PendingBase>& state, std::coroutine_handle<> loader) {
    state->waiter = loader;
    Suspended()[loader.address()] = state.get();
    if (state->ready)
        PostDelivery(state);
}

void PostResult(QObject* handOver, std::shared_ptr<PendingBase> state,
                std::function<void()> store) {
    QMetaObject::invokeMethod(
        handOver,
        [state = std::move(state), store = std::move(store)] {
            store();
            state->ready = true;
            if (std::function<void()> onReady = std::move(state->onReady))
                onReady();
            Deliver(*state);
        },
        Qt::QueuedConnection);
}

void StartOnPool(std::function<void()> job) {
    IoPool().start(std::move(job));
}

} // namespace detail

void DropLoaders() {
    for (RunKind* kind : Kinds())
        kind->Drop();
    IoPool().waitForDone();
    // What is still suspended waits for a result that will not be delivered any more: each frame
    // is destroyed here, on the GUI thread.
    std::unordered_map<void*, detail::PendingBase*> suspended;
    suspended.swap(Suspended());
    for (auto& [address, state] : suspended) {
        state->waiter = {};
        std::coroutine_handle<>::from_address(address).destroy();
    }
}

void SetProgramEnding(bool ending) {
    g_programEnding = ending;
}

} // namespace fundlens
