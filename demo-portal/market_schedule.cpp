#include "demo-portal/market_schedule.h"

#include "demo-portal/calendar.h"

namespace fundlens::demo {

MarketSchedule::MarketSchedule(const PortalOptions& options)
    : m_seed(options.seed), m_announceVersion(options.announceVersion), m_fixedNow(options.now),
      m_clock(options.clock) {
    if (const std::optional<int> day = ParseDay(options.date)) {
        m_fixedDay = true;
        m_site = std::make_shared<PortalSite>(m_seed, *day, m_announceVersion);
        return;
    }
    m_tradingDay = TradingDayAt(Now());
    m_site = std::make_shared<PortalSite>(m_seed, m_tradingDay, m_announceVersion);
}

ChinaTime MarketSchedule::Now() const {
    if (m_fixedNow) {
        return *m_fixedNow;
    }
    return m_clock ? m_clock() : MachineChinaTime();
}

MarketSchedule::Moment MarketSchedule::Current() {
    const ChinaTime now = Now();
    const TradingDay wanted = TradingDayAt(now);
    {
        std::lock_guard lock(m_mutex);
        if (m_fixedDay || m_tradingDay == wanted) {
            return {m_site, now};
        }
    }
    std::lock_guard build(m_buildMutex);
    {
        std::lock_guard lock(m_mutex);
        if (m_tradingDay == wanted) {
            return {m_site, now}; // built by the request before
        }
    }
    auto site = std::make_shared<PortalSite>(m_seed, wanted, m_announceVersion);
    std::lock_guard lock(m_mutex);
    m_previous = std::move(m_site);
    m_site = site;
    m_tradingDay = wanted;
    return {site, now};
}

const PortalSite& MarketSchedule::Latest() const {
    std::lock_guard lock(m_mutex);
    return *m_site;
}

} // namespace fundlens::demo
