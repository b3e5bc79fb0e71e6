// The generated market the demo portal serves: funds with daily net-value histories, their
// managers, ratings and holdings, a stock universe with live quotes, and the sector lists.
// Everything follows from the seed and the market's day alone: a fixed last trading day, or a
// trading day of the clock (demo-portal/market_clock.h).
#pragma once

#include "demo-portal/market_clock.h"
#include "demo-portal/themes.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace fundlens::demo {

class Random;

// The return periods the portal reports, in the order of the fund main page.
enum class Period {
    Week,
    Month,
    ThreeMonths,
    SixMonths,
    YearToDate,
    OneYear,
    TwoYears,
    ThreeYears
};
inline constexpr int PeriodCount = 8;

// A missing figure (the fund is too young for it).
inline constexpr double NoValue = NAN;
inline bool HasValue(double v) {
    return !std::isnan(v);
}

inline constexpr int HongKongMarket = 116;

struct Stock {
    std::string code; // "600519", "00700" in Hong Kong
    int market = 1;   // 1 Shanghai, 0 Shenzhen, HongKongMarket
    std::string name; // UTF-8
    Industry industry = Industry::Broad;
    // Yuan (Hong Kong dollars in Hong Kong): the quoted price on a fixed market day; on the
    // clock the close before the session day, which the session's prices move from.
    double price = 0;
    // The change at the close of the quotes' day in percent, two decimals (0 for a flat stock
    // on a fixed market day). On the clock the session moves towards it: Universe::QuoteAt.
    double changePct = 0;
    bool suspended = false; // not traded today: the quote shows no price and no change
    bool quoted = true;     // false: delisted, the quote endpoint no longer answers for it
    double pe = 0;
    std::string SecId() const { return std::to_string(market) + "." + code; }
    bool InHongKong() const { return market == HongKongMarket; }
};

// A stock's quote at one moment.
struct Quote {
    double price = 0;
    double changePct = 0; // two decimals
};

struct Holding {
    int stock = 0;        // index into Universe::Stocks()
    double weightPct = 0; // share of the fund's net assets, two decimals
    double sharesWan = 0; // 万股
    double valueWan = 0;  // 万元
};

struct Manager {
    int id = 0;
    std::string name; // UTF-8
    bool female = false;
    int careerStartDay = 0;
    std::string_view university;
    std::string_view degree;
};

// One team's term on a fund; the current team comes first in Fund::managements.
struct Management {
    std::vector<int> managers; // indexes into Universe::Managers()
    int startIndex = 0;        // trading-day index
    int endIndex = 0;          // trading-day index; the last trading day for the current team
    bool current = false;
    double returnPct = 0; // over the term, two decimals
};

struct RatingRecord {
    int day = 0;    // quarter end
    int rating = 0; // 0: not rated
};

struct FundReturns {
    double day = NoValue; // daily growth
    std::array<double, PeriodCount> period{NoValue, NoValue, NoValue, NoValue,
                                           NoValue, NoValue, NoValue, NoValue};
    double sinceInception = NoValue;
    double operator[](Period p) const { return period[static_cast<int>(p)]; }
};

struct FundRisk {
    std::array<double, 3> deviationPct{NoValue, NoValue, NoValue}; // 1, 2, 3 years
    std::array<double, 3> sharpe{NoValue, NoValue, NoValue};
    // Index funds only: the yearly deviation of their daily return from the market's.
    std::array<double, 3> trackingPct{NoValue, NoValue, NoValue};
};

struct Fund {
    std::string code;         // six digits
    std::string name;         // UTF-8, "瑞丰成长混合A"
    std::string abbreviation; // pinyin initials, "RFCZHHA"
    std::string pinyin;       // the syllables joined, upper case
    FundType type = FundType::Mixed;
    Theme theme;                   // what it invests in
    int house = 0;                 // index into FundHouses()
    int inceptionDay = 0;          // day number
    int firstIndex = 0;            // trading-day index of the first net value
    std::vector<std::int32_t> nav; // unit net value × 10000 per trading day from firstIndex
    double dividends = 0;          // accumulated net value minus unit net value
    double sizeYi = 0;             // net assets, 亿元
    double feePct = 0;             // purchase fee
    int rating = 0;                // 0: not rated
    std::vector<RatingRecord> ratingHistory; // newest first
    std::vector<Management> managements;     // current team first
    std::vector<Holding> holdings;           // at ReportDay(), largest first; none for a bond fund
    // The quarters before ReportDay(), newest first (as many as the fund existed in, at most
    // EarlierQuarters), each largest first.
    std::vector<std::vector<Holding>> earlierHoldings;
    FundReturns returns;
    FundRisk risk;
};

class Universe {
public:
    static constexpr int FundCount = 3000;
    static constexpr int StockCount = 400; // mainland shares
    static constexpr int HongKongStockCount = 40;
    static constexpr int EarlierQuarters = 2;
    static constexpr int HistoryYears = 4;
    // On the clock: trading days of the generated histories (about HistoryYears), and the days
    // after them up to the session day whose changes come from the funds' portfolios.
    static constexpr int ClockHistoryDays = 1044;
    static constexpr int PortfolioDays = 3;

    // A fixed market day. `lastDay`: a day number; the last trading day is the last weekday at
    // or before it, its net values are out and the quotes show its close.
    Universe(std::uint64_t seed, int lastDay);
    // The market of a trading day on the clock. The histories are generated up to
    // PortfolioDays weekdays before the session day; on each day after that a fund changes as
    // its whole portfolio does (its top ten at their closes, the rest with its theme) plus a
    // little noise, so those changes stay the same in the next days' markets. The quotes move
    // through the session day; a QDII fund's latest net value is a day behind the others'.
    Universe(std::uint64_t seed, const TradingDay& tradingDay);

    std::uint64_t Seed() const { return m_seed; }

    // Weekdays from about HistoryYears before the published day up to the quotes' day (on the
    // clock the session day, which may lie a day beyond the published one).
    const std::vector<int>& TradingDays() const { return m_days; }
    // The published day: the latest day whose net values are out.
    int LastTradingDay() const { return m_days[static_cast<std::size_t>(m_published)]; }
    int LastIndex() const { return m_published; }
    // The day the quotes are of: the last trading day, or the clock's session day.
    int SessionIndex() const { return static_cast<int>(m_days.size()) - 1; }
    // The fund's latest net value: the published day's, on the clock the day before for a QDII
    // fund (its overseas markets close after the publication).
    int LatestIndex(const Fund& fund) const;
    int LatestDay(const Fund& fund) const {
        return m_days[static_cast<std::size_t>(LatestIndex(fund))];
    }
    // The quarter end the holdings, sizes and ratings refer to.
    int ReportDay() const { return m_reportDay; }
    // Index of the last trading day at or before `dayNumber`; -1 before the first.
    int IndexAtOrBefore(int dayNumber) const;
    // The trading day a period's return is measured from: the last one at or before the same
    // date a week, months or years earlier (for the year to date: the last one of last year).
    int PeriodStartIndex(Period period) const {
        return m_periodStart[static_cast<std::size_t>(period)];
    }

    // A broad market index (沪深300-like) per trading day.
    const std::vector<double>& MarketLevels() const { return m_marketLevel; }
    // An industry's daily log return on top of the market's (all 0 for Broad).
    const std::vector<double>& IndustryMoves(Industry industry) const {
        return m_industryMove[static_cast<std::size_t>(industry)];
    }

    // Ordered by code.
    const std::vector<Fund>& Funds() const { return m_funds; }
    const Fund* FindFund(std::string_view code) const;
    const std::vector<Stock>& Stocks() const { return m_stocks; }
    // By portal id ("1.600519"); -1 when unknown.
    int FindStock(std::string_view secId) const;
    // A stock's quote `sessionMinute` trading minutes into the session day's session (0 to
    // SessionMinutes); on a fixed market day its close, whatever the minute.
    Quote QuoteAt(int stock, int sessionMinute) const;
    const std::vector<Manager>& Managers() const { return m_managers; }

    // Indexes into Funds(), ascending; empty for a code no sector has.
    const std::vector<int>& SectorMembers(int sectorCode) const;
    // Funds with this many stars (1..5), ascending.
    std::vector<int> RatedFunds(int stars) const;

    // Unit net value at a trading-day index (which must lie in the fund's history).
    static double NavAt(const Fund& fund, int index) {
        return fund.nav[static_cast<std::size_t>(index - fund.firstIndex)] / 10000.0;
    }

private:
    void BuildCalendar(int lastDay);
    void BuildClockCalendar(int lastDay);
    void SetLastIndex(int index);
    void BuildMarket();
    void BuildStocks();
    void SetTodaysQuote(Random& rng, Stock& stock) const;
    void RankPopularity(Random& rng);
    void BuildManagers();
    void BuildFunds();
    void ComputeFigures(Fund& fund) const;
    void ComputeRisk(Fund& fund, int last) const;
    void Publish(int publishedDay);
    void AssignRatings();
    void AssignSectors();
    std::vector<std::pair<int, int>> SectorSizes(Random& rng) const;
    int SectorTier(const Fund& fund, const std::array<Industry, 2>& industries) const;
    // The clock's days after the histories (session_generation.cpp).
    struct PortfolioDay {
        double overseasMove = 0; // the overseas markets' change, fraction
        double bondMove = 0;     // the bond market's change, fraction
    };
    void AddPortfolioDays(int sessionDay);
    void AddDayMoves(int day);
    double StockDayMove(const Stock& stock, int index) const;
    double SessionChange(int stock, int index, int sessionMinute) const;
    double ThemeMove(const Fund& fund, int index) const;
    double PortfolioChange(const Fund& fund, int index, const std::vector<double>& closes) const;

    std::uint64_t m_seed;
    bool m_onTheClock = false;
    int m_published = 0; // index of the published day
    std::vector<int> m_days;
    int m_reportDay = 0;
    std::array<int, PeriodCount> m_periodStart{};
    std::vector<double> m_marketMove; // the market's daily log return
    std::vector<double> m_marketLevel;
    std::array<std::vector<double>, IndustryCount> m_industryMove;
    int m_firstPortfolioIndex = 0; // the clock's first day after the histories
    std::vector<PortfolioDay> m_portfolioDays;
    std::vector<Stock> m_stocks;
    std::vector<double> m_stockPopularity;
    std::unordered_map<std::string, int> m_stockBySecId;
    std::vector<Manager> m_managers;
    std::vector<Fund> m_funds;
    std::unordered_map<std::string, int> m_fundByCode;
    std::unordered_map<int, std::vector<int>> m_sectors;
};

// Figures as the portal writes them: two decimals, no "-0.00".
std::string FormatFixed(double value, int decimals);

} // namespace fundlens::demo
