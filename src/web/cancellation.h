// Cancelling requests one run at a time: a run's requests share one Cancellation; cancelling it
// skips the requests not yet started and ends the transfers in flight at once. (AbortAllTransfers
// is the process-wide stop, for exit only.)
#pragma once

#include <atomic>
#include <mutex>
#include <vector>

namespace fundlens {

class Cancellation {
public:
    Cancellation() = default;
    Cancellation(const Cancellation&) = delete;
    Cancellation& operator=(const Cancellation&) = delete;

    // Safe from any thread; transfers that watch this object end with a failure.
    void Cancel();
    bool Cancelled() const { return m_cancelled.load(); }

    // For the transfer core: a wake-up call for the transfer running on one thread, registered
    // while it runs. Attach returns false when the cancellation has already happened.
    using Waker = void (*)(void* target);
    bool Attach(Waker waker, void* target) const;
    void Detach(void* target) const;

private:
    struct Watcher {
        Waker waker;
        void* target;
    };
    std::atomic<bool> m_cancelled{false};
    mutable std::mutex m_mutex;
    mutable std::vector<Watcher> m_watchers;
};

} // namespace fundlens
