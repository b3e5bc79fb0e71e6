#include "demo-portal/universe.h"

#include "demo-portal/calendar.h"
#include "demo-portal/generation.h"
#include "demo-portal/random.h"

#include <algorithm>
#include <cstdio>
#include <span>
#include <unordered_set>

namespace fundlens::demo {

using namespace generation;

namespace {

constexpr double RiskFreePct = 1.5;

// Daily log returns that follow a trend for a while, then another one.
struct Regime {
    double driftMean, driftSd; // of a trend's daily drift
    int shortest, longest;     // trading days a trend lasts
    double noiseSd;            // daily noise around the trend
};
constexpr Regime MarketRegime{0.0002, 0.0003, 30, 120, 0.006};
constexpr Regime IndustryRegime{0.0, 0.0010, 20, 90, 0.007};

std::vector<double> RegimeMoves(Random& rng, std::size_t days, const Regime& regime) {
    std::vector<double> moves(days, 0.0);
    double drift = 0.0;
    int left = 0;
    for (std::size_t t = 1; t < days; ++t) {
        if (left == 0) {
            drift = rng.Normal(regime.driftMean, regime.driftSd);
            left = rng.Between(regime.shortest, regime.longest);
        }
        --left;
        moves[t] = drift + rng.Normal(0.0, regime.noiseSd);
    }
    return moves;
}

// Yearly standard deviation in percent and mean daily value of a series of daily values.
struct Spread {
    double deviationPct;
    double mean;
};
Spread SpreadOf(std::span<const double> values) {
    double sum = 0.0, sumSquares = 0.0;
    for (double v : values) {
        sum += v;
        sumSquares += v * v;
    }
    const double n = static_cast<double>(values.size());
    const double mean = sum / n;
    const double variance = std::max(0.0, sumSquares / n - mean * mean);
    return {std::sqrt(variance * TradingDaysPerYear) * 100.0, mean};
}

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

// The ratings and sectors are drawn on the generated histories, so they stay as they are when
// the session day's net values come out.
Universe::Universe(std::uint64_t seed, const TradingDay& tradingDay)
    : m_seed(seed), m_onTheClock(true) {
    int historyEnd = tradingDay.sessionDay;
    for (int k = 0; k < PortfolioDays; ++k) {
        historyEnd = PreviousWeekday(historyEnd);
    }
    BuildClockCalendar(historyEnd);
    BuildMarket();
    BuildStocks();
    BuildManagers();
    BuildFunds();
    AssignRatings();
    AssignSectors();
    AddPortfolioDays(tradingDay.sessionDay);
    Publish(PublishedDay(tradingDay));
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
    SetLastIndex(SessionIndex());
}

// A fixed number of trading days, so that every fund's draws, and with them its holdings, are
// the same in the markets of neighbouring days.
void Universe::BuildClockCalendar(int lastDay) {
    m_days.assign(ClockHistoryDays, lastDay);
    for (int i = ClockHistoryDays - 2; i >= 0; --i) {
        m_days[static_cast<std::size_t>(i)] =
            PreviousWeekday(m_days[static_cast<std::size_t>(i) + 1]);
    }
    m_reportDay = LastQuarterEnd(lastDay);
    SetLastIndex(SessionIndex());
}

// The published day and the days the periods' returns are measured from.
void Universe::SetLastIndex(int index) {
    m_published = index;
    const int last = m_days[static_cast<std::size_t>(index)];
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
    m_marketMove = RegimeMoves(rng, m_days.size(), MarketRegime);
    double level = 3500.0 + rng.Uniform(-300.0, 300.0);
    for (double move : m_marketMove) {
        level *= std::exp(move);
        m_marketLevel.push_back(Round(level, 2));
    }
    // Each industry runs its own trends on top of the market, so that lists of funds from
    // different industries do not all rise or fall together.
    for (int i = 0; i < IndustryCount; ++i) {
        auto& moves = m_industryMove[static_cast<std::size_t>(i)];
        if (static_cast<Industry>(i) == Industry::Broad) {
            moves.assign(m_days.size(), 0.0);
            continue;
        }
        Random industryRng(StreamSeed(m_seed, {IndustryStream, static_cast<std::uint64_t>(i)}));
        moves = RegimeMoves(industryRng, m_days.size(), IndustryRegime);
    }
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

int Universe::LatestIndex(const Fund& fund) const {
    return m_onTheClock && fund.type == FundType::Qdii ? m_published - 1 : m_published;
}

// The yearly deviation and Sharpe ratio over one, two and three years up to `last` (and an
// index fund's tracking error). The daily returns of the longest horizon the fund has are formed
// once; each horizon takes their end.
void Universe::ComputeRisk(Fund& fund, int last) const {
    int longest = std::min(last - fund.firstIndex, 3 * TradingDaysPerYear);
    if (longest < TradingDaysPerYear) {
        longest = 0; // too young for any
    }
    std::vector<double> daily;
    std::vector<double> offMarket; // the fund's daily return less the market's
    daily.reserve(static_cast<std::size_t>(longest));
    offMarket.reserve(daily.capacity());
    for (int t = last - longest + 1; t <= last; ++t) {
        const auto i = static_cast<std::size_t>(t);
        daily.push_back(NavAt(fund, t) / NavAt(fund, t - 1) - 1.0);
        offMarket.push_back(daily.back() - (m_marketLevel[i] / m_marketLevel[i - 1] - 1.0));
    }
    for (int y = 1; y <= 3; ++y) {
        const int n = y * TradingDaysPerYear;
        if (longest < n) {
            continue;
        }
        const std::size_t from = daily.size() - static_cast<std::size_t>(n);
        const Spread spread = SpreadOf(std::span(daily).subspan(from));
        const double yearly = spread.mean * TradingDaysPerYear * 100.0;
        const auto k = static_cast<std::size_t>(y - 1);
        fund.risk.deviationPct[k] = Round(spread.deviationPct, 2);
        fund.risk.sharpe[k] = spread.deviationPct > 1e-9
                                  ? Round((yearly - RiskFreePct) / spread.deviationPct, 2)
                                  : 0.0;
        if (fund.type == FundType::Index) {
            fund.risk.trackingPct[k] =
                Round(SpreadOf(std::span(offMarket).subspan(from)).deviationPct, 2);
        }
    }
}

// The figures as of the fund's latest net value.
void Universe::ComputeFigures(Fund& fund) const {
    const int last = LatestIndex(fund);
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

    ComputeRisk(fund, last);

    for (Management& m : fund.managements) {
        const int start = std::max(m.startIndex, fund.firstIndex);
        const int end = std::min(m.endIndex, last);
        m.returnPct = Round((NavAt(fund, end) / NavAt(fund, start) - 1.0) * 100.0, 2);
    }
}

// The figures as of the published day; the current teams are in office up to it.
void Universe::Publish(int publishedDay) {
    SetLastIndex(IndexAtOrBefore(publishedDay));
    for (Fund& f : m_funds) {
        for (Management& m : f.managements) {
            if (m.current) {
                m.endIndex = m_published;
            }
        }
        f.returns = FundReturns{};
        f.risk = FundRisk{};
        ComputeFigures(f);
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

const std::vector<int>& Universe::SectorMembers(int sectorCode) const {
    static const std::vector<int> none;
    auto it = m_sectors.find(sectorCode);
    return it == m_sectors.end() ? none : it->second;
}

} // namespace fundlens::demo
