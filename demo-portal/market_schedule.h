// Which market the portal serves at each moment. A fixed market day is one site for the whole
// run. On the clock a site stands for one trading-day state; a new one is built when a session
// opens (09:30) and when its net values come out (20:00), by the first request that finds the
// clock past that moment, while the requests that come meanwhile wait for it.
#pragma once

#include "demo-portal/demo_portal.h"
#include "demo-portal/market_clock.h"
#include "demo-portal/site.h"

#include <memory>
#include <mutex>

namespace fundlens::demo {

class MarketSchedule {
public:
    explicit MarketSchedule(const PortalOptions& options);

    struct Moment {
        std::shared_ptr<PortalSite> site;
        ChinaTime now;
    };
    // The site for the clock's minute, and the minute.
    Moment Current();
    // The site built last; the one before it is kept alive until the next one comes.
    const PortalSite& Latest() const;

private:
    ChinaTime Now() const;

    std::uint64_t m_seed;
    int m_announceVersion;
    bool m_fixedDay = false;
    std::optional<ChinaTime> m_fixedNow;
    std::function<ChinaTime()> m_clock;
    std::mutex m_buildMutex; // one build at a time
    mutable std::mutex m_mutex;
    std::shared_ptr<PortalSite> m_site;
    std::shared_ptr<PortalSite> m_previous;
    TradingDay m_tradingDay;
};

} // namespace fundlens::demo
