// The ranking endpoint: filtered, sorted, paged lists of fund records in the portal's script
// form "var rankData = {datas:[…],allPages:…}".
#pragma once

#include "demo-portal/answer.h"
#include "demo-portal/universe.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace fundlens::demo {

// Sort keys of the ranking endpoint ("sc=").
enum class RankKey {
    Day,
    Week,
    Month,
    ThreeMonths,
    SixMonths,
    YearToDate,
    OneYear,
    TwoYears,
    ThreeYears
};
inline constexpr int RankKeyCount = 9;

std::optional<RankKey> RankKeyFromText(std::string_view key);
// The figure a key sorts by; NoValue when the fund is too young.
double RankValue(const Fund& fund, RankKey key);

struct RankRequest {
    int stars = 0;   // 1..5: only funds with this rating; 0: any
    int sector = -1; // a sector code: only its members; -1: any
    RankKey key = RankKey::ThreeMonths;
    bool ascending = false;
    int page = 1;
    int pageSize = 20;
};

inline constexpr int MaxPageSize = 200;

// Nothing when the query is malformed (missing or non-numeric page parts, page size 0 or
// above MaxPageSize, an unreadable filter).
std::optional<RankRequest> ParseRankRequest(const Query& query);

class RankingIndex {
public:
    explicit RankingIndex(const Universe& universe);

    Answer Serve(const Query& query) const;
    std::string Render(const std::optional<RankRequest>& request) const;

    // Fund indexes of a request's whole list, in answer order.
    std::vector<int> Select(const RankRequest& request) const;

    // The record text of one fund ("004139,瑞丰成长混合A,RFCZHHA,…").
    const std::string& Record(int fundIndex) const {
        return m_records[static_cast<std::size_t>(fundIndex)];
    }

private:
    const Universe& m_universe;
    std::vector<std::string> m_records;
    // Per key: funds with a value, best first, then the funds without one (by code).
    std::array<std::vector<int>, RankKeyCount> m_descending;
    std::array<std::vector<int>, RankKeyCount> m_ascending;
};

} // namespace fundlens::demo
