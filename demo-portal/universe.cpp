#include "demo-portal/universe.h"

#include "demo-portal/calendar.h"
#include "demo-portal/generation.h"
#include "demo-portal/random.h"
#include "portal/sector_table.h"

#include <algorithm>
#include <cstdio>
#include <unordered_set>

namespace fundlens::demo {

using namespace generation;

namespace {

constexpr double RiskFreePct = 1.5;

} // namespace

std::string FormatFixed(double value, int decimals) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    std::string text = buffer;
    // "-0.00" reads as a fall; a rounded zero is written without its sign.
    if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) {
        text.erase(0, 1);
    }
    return text;
}

Universe::Universe(std::uint64_t seed, int lastDay) : m_seed(seed) {
    BuildCalendar(lastDay);
    BuildMarket();
    BuildStocks();
    BuildManagers();
    BuildFunds();
    AssignRatings();
    AssignSectors();
}

void Universe::BuildCalendar(int lastDay) {
    int last = lastDay;
    while (!IsWeekday(last)) {
        --last;
    }
    int first = AddMonths(last, -12 * HistoryYears);
    for (int d = first; d <= last; ++d) {
        if (IsWeekday(d)) {
            m_days.push_back(d);
        }
    }
    m_reportDay = LastQuarterEnd(last);
    int year = 0, month = 0, day = 0;
    SplitDay(last, year, month, day);
    const std::array<int, PeriodCount> references{
        last - 7,
        AddMonths(last, -1),
        AddMonths(last, -3),
        AddMonths(last, -6),
        DayNumber(year, 1, 1) - 1,
        AddMonths(last, -12),
        AddMonths(last, -24),
        AddMonths(last, -36),
    };
    for (int p = 0; p < PeriodCount; ++p) {
        m_periodStart[static_cast<std::size_t>(p)] =
            IndexAtOrBefore(references[static_cast<std::size_t>(p)]);
    }
}

int Universe::IndexAtOrBefore(int dayNumber) const {
    auto it = std::upper_bound(m_days.begin(), m_days.end(), dayNumber);
    return static_cast<int>(it - m_days.begin()) - 1;
}

void Universe::BuildMarket() {
    Random rng(StreamSeed(m_seed, {MarketStream}));
    m_marketMove.assign(m_days.size(), 0.0);
    double regimeDrift = 0.0;
    int regimeLeft = 0;
    for (std::size_t t = 1; t < m_days.size(); ++t) {
        if (regimeLeft == 0) {
            regimeDrift = rng.Normal(0.0003, 0.0012);
            regimeLeft = rng.Between(30, 120);
        }
        --regimeLeft;
        m_marketMove[t] = regimeDrift + rng.Normal(0.0, 0.011);
    }
    double level = 3500.0 + rng.Uniform(-300.0, 300.0);
    for (double move : m_marketMove) {
        level *= std::exp(move);
        m_marketLevel.push_back(Round(level, 2));
    }
}

void Universe::BuildStocks() {
    Random rng(StreamSeed(m_seed, {StockStream}));
    std::unordered_set<std::string> names;
    std::unordered_set<std::string> codes;
    const auto prefixes = StockPrefixes();
    const auto suffixes = StockSuffixes();
    while (static_cast<int>(m_stocks.size()) < StockCount) {
        Stock s;
        s.name = std::string(prefixes[rng.Next() % prefixes.size()]) +
                 std::string(suffixes[rng.Next() % suffixes.size()]);
        const int board = rng.Between(0, 9);
        int number = 0;
        if (board < 3) { // Shanghai main board
            number = 600000 + rng.Between(0, 5999);
            s.market = 1;
        } else if (board < 4) { // Shanghai science board
            number = 688000 + rng.Between(0, 999);
            s.market = 1;
        } else if (board < 7) { // Shenzhen main board
            number = rng.Between(1, 3999);
            s.market = 0;
        } else { // Shenzhen growth board
            number = 300000 + rng.Between(0, 1999);
            s.market = 0;
        }
        s.code = Code6(number);
        if (names.count(s.name) || codes.count(s.code)) {
            continue;
        }
        names.insert(s.name);
        codes.insert(s.code);
        s.price = Round(std::clamp(std::exp(rng.Normal(3.0, 0.9)), 2.0, 1500.0), 2);
        const bool wideLimit = s.code.starts_with("688") || s.code.starts_with("300");
        const double limit = wideLimit ? 20.0 : 10.0;
        if (rng.Chance(0.1)) {
            s.changePct = 0.0;
        } else {
            s.changePct = Round(std::clamp(rng.Normal(0.2, 2.4), -limit, limit), 2);
        }
        s.pe = Round(rng.Uniform(5.0, 80.0), 2);
        m_stockBySecId.emplace(s.SecId(), static_cast<int>(m_stocks.size()));
        m_stocks.push_back(std::move(s));
    }
    // Popular stocks end up in many funds.
    std::vector<int> rank(m_stocks.size());
    for (std::size_t i = 0; i < rank.size(); ++i) {
        rank[i] = static_cast<int>(i);
    }
    rng.Shuffle(rank);
    m_stockPopularity.resize(m_stocks.size());
    for (std::size_t i = 0; i < rank.size(); ++i) {
        m_stockPopularity[i] = 1.0 / std::pow(rank[i] + 5.0, 0.9);
    }
}

int Universe::FindStock(std::string_view secId) const {
    auto it = m_stockBySecId.find(std::string(secId));
    return it == m_stockBySecId.end() ? -1 : it->second;
}

void Universe::BuildManagers() {
    Random rng(StreamSeed(m_seed, {ManagerStream}));
    const auto surnames = Surnames();
    const auto given = GivenNameCharacters();
    const auto universities = Universities();
    std::unordered_set<std::string> names;
    constexpr int ManagerCount = 900;
    while (static_cast<int>(m_managers.size()) < ManagerCount) {
        Manager m;
        m.name = std::string(surnames[rng.Next() % surnames.size()]) +
                 std::string(given[rng.Next() % given.size()]);
        if (rng.Chance(0.6)) {
            m.name += given[rng.Next() % given.size()];
        }
        if (!names.insert(m.name).second) {
            continue;
        }
        m.id = 30000000 + static_cast<int>(m_managers.size()) * 37 + rng.Between(0, 36);
        m.female = rng.Chance(0.3);
        m.careerStartDay = m_days.front() - rng.Between(200, 5000);
        m.university = universities[rng.Next() % universities.size()];
        m.degree = rng.Chance(0.7) ? "硕士" : (rng.Chance(0.5) ? "博士" : "学士");
        m_managers.push_back(std::move(m));
    }
}
const Fund* Universe::FindFund(std::string_view code) const {
    auto it = m_fundByCode.find(std::string(code));
    return it == m_fundByCode.end() ? nullptr : &m_funds[static_cast<std::size_t>(it->second)];
}

void Universe::ComputeFigures(Fund& fund) const {
    const int last = LastIndex();
    const double navLast = NavAt(fund, last);
    auto returnSince = [&](int index) {
        if (index < fund.firstIndex || index < 0) {
            return NoValue;
        }
        return Round((navLast / NavAt(fund, index) - 1.0) * 100.0, 2);
    };
    for (int p = 0; p < PeriodCount; ++p) {
        fund.returns.period[static_cast<std::size_t>(p)] =
            returnSince(PeriodStartIndex(static_cast<Period>(p)));
    }
    fund.returns.day = last > fund.firstIndex ? returnSince(last - 1) : NoValue;
    fund.returns.sinceInception = Round((navLast + fund.dividends - 1.0) * 100.0, 2);

    for (int y = 1; y <= 3; ++y) {
        const int n = y * TradingDaysPerYear;
        if (last - fund.firstIndex < n) {
            continue;
        }
        double sum = 0.0, sumSquares = 0.0;
        for (int t = last - n + 1; t <= last; ++t) {
            const double r = NavAt(fund, t) / NavAt(fund, t - 1) - 1.0;
            sum += r;
            sumSquares += r * r;
        }
        const double mean = sum / n;
        const double variance = std::max(0.0, sumSquares / n - mean * mean);
        const double deviation = std::sqrt(variance * TradingDaysPerYear) * 100.0;
        const double yearly = mean * TradingDaysPerYear * 100.0;
        fund.risk.deviationPct[static_cast<std::size_t>(y - 1)] = Round(deviation, 2);
        fund.risk.sharpe[static_cast<std::size_t>(y - 1)] =
            deviation > 1e-9 ? Round((yearly - RiskFreePct) / deviation, 2) : 0.0;
    }

    for (Management& m : fund.managements) {
        const int start = std::max(m.startIndex, fund.firstIndex);
        m.returnPct = Round((NavAt(fund, m.endIndex) / NavAt(fund, start) - 1.0) * 100.0, 2);
    }
}

void Universe::AssignRatings() {
    Random rng(StreamSeed(m_seed, {RatingStream}));
    // Funds with three years of history can be rated; most are. Stars go by the risk-adjusted
    // return within the fund's own type, so every type has its best funds.
    std::array<std::vector<std::pair<double, int>>, FundTypeCount> byType;
    for (std::size_t i = 0; i < m_funds.size(); ++i) {
        const Fund& f = m_funds[i];
        if (!HasValue(f.risk.sharpe[2]) || f.type == FundType::Fof || !rng.Chance(0.9)) {
            continue;
        }
        byType[static_cast<std::size_t>(f.type)].emplace_back(
            f.risk.sharpe[2] + rng.Normal(0.0, 0.15), static_cast<int>(i));
    }
    std::vector<std::pair<double, int>> percentile; // 0: best of its type
    for (auto& list : byType) {
        std::sort(list.begin(), list.end(), [](const auto& a, const auto& b) {
            return a.first != b.first ? a.first > b.first : a.second < b.second;
        });
        for (std::size_t r = 0; r < list.size(); ++r) {
            percentile.emplace_back((r + 0.5) / static_cast<double>(list.size()), list[r].second);
        }
    }
    std::sort(percentile.begin(), percentile.end());
    const int fiveStars = std::min(rng.Between(241, 260), static_cast<int>(percentile.size()));
    for (std::size_t r = 0; r < percentile.size(); ++r) {
        const double p = percentile[r].first;
        int stars = p < 0.325 ? 4 : (p < 0.675 ? 3 : (p < 0.9 ? 2 : 1));
        if (static_cast<int>(r) < fiveStars) {
            stars = 5;
        }
        m_funds[static_cast<std::size_t>(percentile[r].second)].rating = stars;
    }
    // Rating history: the last eight quarter ends, newest first.
    for (Fund& f : m_funds) {
        if (f.firstIndex > 0 && m_days[static_cast<std::size_t>(f.firstIndex)] > m_reportDay) {
            continue; // too young for any rating report
        }
        int quarterEnd = m_reportDay;
        int stars = f.rating;
        for (int q = 0; q < 8; ++q) {
            f.ratingHistory.push_back({quarterEnd, stars});
            if (stars > 0) {
                stars = std::clamp(stars + rng.Between(-1, 1), 1, 5);
            }
            quarterEnd = LastQuarterEnd(quarterEnd - 1);
            if (f.firstIndex > 0 && m_days[static_cast<std::size_t>(f.firstIndex)] > quarterEnd) {
                break;
            }
        }
    }
}

std::vector<int> Universe::RatedFunds(int stars) const {
    std::vector<int> list;
    for (std::size_t i = 0; i < m_funds.size(); ++i) {
        if (m_funds[i].rating == stars) {
            list.push_back(static_cast<int>(i));
        }
    }
    return list;
}

void Universe::AssignSectors() {
    Random rng(StreamSeed(m_seed, {SectorStream}));
    std::vector<int> codes;
    for (const Sector& s : SectorTable()) {
        if (std::find(codes.begin(), codes.end(), s.code) == codes.end()) {
            codes.push_back(s.code);
        }
    }
    std::vector<int> pool;
    for (std::size_t i = 0; i < m_funds.size(); ++i) {
        if (HoldsStocks(m_funds[i].type)) {
            pool.push_back(static_cast<int>(i));
        }
    }
    // Fixed sizes for a few sectors (an empty one, one of exactly one page, a large one), the
    // rest skewed towards small lists.
    std::vector<int> order = codes;
    rng.Shuffle(order);
    const int fixedSizes[3] = {0, 20, 150};
    for (std::size_t k = 0; k < order.size(); ++k) {
        int size =
            k < 3 ? fixedSizes[k] : 3 + static_cast<int>(std::pow(rng.Uniform(), 1.7) * 145.0);
        size = std::min(size, static_cast<int>(pool.size()));
        // Partial Fisher-Yates: the first `size` entries of the pool become the members.
        for (int j = 0; j < size; ++j) {
            const int pick = rng.Between(j, static_cast<int>(pool.size()) - 1);
            std::swap(pool[static_cast<std::size_t>(j)], pool[static_cast<std::size_t>(pick)]);
        }
        std::vector<int> members(pool.begin(), pool.begin() + size);
        std::sort(members.begin(), members.end());
        m_sectors.emplace(order[k], std::move(members));
    }
}

const std::vector<int>& Universe::SectorMembers(int sectorCode) const {
    static const std::vector<int> none;
    auto it = m_sectors.find(sectorCode);
    return it == m_sectors.end() ? none : it->second;
}

} // namespace fundlens::demo
