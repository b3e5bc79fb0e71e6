#include "web/cancellation.h"

#include <algorithm>

namespace fundlens {

void Cancellation::Cancel() {
    std::lock_guard lock(m_mutex);
    m_cancelled.store(true);
    for (const Watcher& watcher : m_watchers)
        watcher.waker(watcher.target);
}

bool Cancellation::Attach(Waker waker, void* target) const {
    std::lock_guard lock(m_mutex);
    if (m_cancelled.load())
        return false;
    m_watchers.push_back({waker, target});
    return true;
}

void Cancellation::Detach(void* target) const {
    std::lock_guard lock(m_mutex);
    std::erase_if(m_watchers, [target](const Watcher& w) { return w.target == target; });
}

} // namespace fundlens
