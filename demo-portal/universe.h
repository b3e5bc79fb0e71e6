// The generated market the demo portal serves: funds with daily net-value histories, their
// managers, ratings and holdings, a stock universe with live quotes, and the sector lists.
// Everything follows from the seed and the last trading day alone.
#pragma once

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
    double price = 0;       // yuan (Hong Kong dollars in Hong Kong)
    double changePct = 0;   // today's change in percent, two decimals (0 for a flat stock)
    bool suspended = false; // not traded today: the quote shows no price and no change
    bool quoted = true;     // false: delisted, the quote endpoint no longer answers for it
    double pe = 0;
    std::string SecId() const { return std::to_string(market) + "." + code; }
    bool InHongKong() const { return market == HongKongMarket; }
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
    std::vector<Holding> holdings;           // at ReportDay(), largest first
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

    // `lastDay`: a day number; the last trading day is the last weekday at or before it.
    Universe(std::uint64_t seed, int lastDay);

    std::uint64_t Seed() const { return m_seed; }

    // Weekdays from about HistoryYears before the last trading day up to it.
    const std::vector<int>& TradingDays() const { return m_days; }
    int LastTradingDay() const { return m_days.back(); }
    int LastIndex() const { return static_cast<int>(m_days.size()) - 1; }
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
    void BuildMarket();
    void BuildStocks();
    void SetTodaysQuote(Random& rng, Stock& stock) const;
    void RankPopularity(Random& rng);
    void BuildManagers();
    void BuildFunds();
    void ComputeFigures(Fund& fund) const;
    void AssignRatings();
    void AssignSectors();
    std::vector<std::pair<int, int>> SectorSizes(Random& rng) const;
    int SectorTier(const Fund& fund, const std::array<Industry, 2>& industries) const;

    std::uint64_t m_seed;
    std::vector<int> m_days;
    int m_reportDay = 0;
    std::array<int, PeriodCount> m_periodStart{};
    std::vector<double> m_marketMove; // the market's daily log return
    std::vector<double> m_marketLevel;
    std::array<std::vector<double>, IndustryCount> m_industryMove;
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
