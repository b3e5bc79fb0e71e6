// The whole portal as one routing table: a request (path, query, host, referer) in, an
// answer out. The HTTP server in front of it adds latency, faults and the request log.
#pragma once

#include "demo-portal/answer.h"
#include "demo-portal/chart_image.h"
#include "demo-portal/data_answers.h"
#include "demo-portal/fund_pages.h"
#include "demo-portal/ranking.h"
#include "demo-portal/universe.h"

#include <cstdint>
#include <memory>

namespace fundlens::demo {

class PortalSite {
public:
    // A fixed market day. `lastDay`: a day number (the last trading day is the last weekday at
    // or before it).
    PortalSite(std::uint64_t seed, int lastDay, int announceVersion);
    // The market of a trading day on the clock.
    PortalSite(std::uint64_t seed, const TradingDay& tradingDay, int announceVersion);

    const Universe& universe() const { return m_universe; }
    const RankingIndex& ranking() const { return m_ranking; }

    Answer Serve(const PortalRequest& request);

private:
    Answer ServeFundPage(const PortalRequest& request);
    Answer UpdatePage(const PortalRequest& request) const;
    Answer DownloadPage() const;
    Answer ComparePage(const PortalRequest& request) const;

    Universe m_universe;
    RankingIndex m_ranking;
    FundPages m_pages;
    DataAnswers m_data;
    ChartCache m_charts;
    int m_announceVersion;
};

} // namespace fundlens::demo
