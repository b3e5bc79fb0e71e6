// The clock's days after the generated histories: the market's, the industries', the overseas
// and the bond market's move of each day, every stock's path through its session, and every
// fund's change as its whole portfolio moves. All of it is drawn from the seed, the day and the
// stock or the fund product, never from a position in the histories, so a day reads the same
// in the markets of the days after it.
#include "demo-portal/calendar.h"
#include "demo-portal/generation.h"
#include "demo-portal/random.h"
#include "demo-portal/universe.h"

#include <algorithm>
#include <cmath>

namespace fundlens::demo {

using namespace generation;

namespace {

// A day's moves, percent.
constexpr double MarketMeanPct = 0.02;
constexpr double MarketSdPct = 0.9;
constexpr double IndustrySdPct = 0.7;
constexpr double OverseasMeanPct = 0.03;
constexpr double OverseasSdPct = 1.0;
constexpr double BondMeanPct = 0.012;
constexpr double BondSdPct = 0.03;

// A stock's session: part of the day's move is priced in at the open, the rest comes in evenly
// over the trading minutes; its own move is a gap at the open and a walk over the minutes.
constexpr double OpeningShare = 0.25;
constexpr double OpeningGapSdPct = 0.5;
constexpr double OwnWalkSdPct = 1.4; // over the whole session

// What a fund's portfolio does not explain (subscriptions, trading, fees), percent.
constexpr double FundNoiseSdPct = 0.06;
constexpr double BondFundNoiseSdPct = 0.008;

// Market exposure of the part of a portfolio outside its top ten, by where the theme invests.
constexpr double BothMarketsBeta = (1.0 + HongKongMarketBeta) / 2.0;

// The share of a fund's net assets in shares (for a fund of funds: in equity funds).
struct EquityShare {
    FundType type;
    double low, high;
};
constexpr std::array<EquityShare, FundTypeCount> kEquityShares{{
    {FundType::Mixed, 0.55, 0.90},
    {FundType::Stock, 0.85, 0.95},
    {FundType::Bond, 0.0, 0.0},
    {FundType::Index, 0.92, 0.97},
    {FundType::Qdii, 0.80, 0.95},
    {FundType::Lof, 0.65, 0.90},
    {FundType::Fof, 0.25, 0.45},
}};

// The share classes of one product share its portfolio: the name without its class letter.
std::uint64_t ProductKey(const Fund& fund) {
    std::string_view name = fund.name;
    if (name.ends_with("A") || name.ends_with("C")) {
        name.remove_suffix(1);
    }
    std::uint64_t hash = 0xcbf29ce484222325ULL; // FNV-1a
    for (char c : name) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
    }
    return hash;
}

double EquityShareOf(std::uint64_t seed, std::uint64_t product, FundType type) {
    for (const EquityShare& e : kEquityShares) {
        if (e.type == type) {
            Random rng(StreamSeed(seed, {EquityShareStream, product}));
            return rng.Uniform(e.low, e.high);
        }
    }
    return 0.0;
}

} // namespace

void Universe::AddPortfolioDays(int sessionDay) {
    m_firstPortfolioIndex = SessionIndex() + 1;
    std::vector<double> closes(m_stocks.size(), 0.0);
    for (int day = NextWeekday(m_days.back()); day <= sessionDay; day = NextWeekday(day)) {
        m_days.push_back(day);
        AddDayMoves(day);
        const int index = SessionIndex();
        // A suspended stock keeps its price; a delisted one is held at its last.
        for (std::size_t s = 0; s < m_stocks.size(); ++s) {
            const bool trades = !m_stocks[s].suspended && m_stocks[s].quoted;
            closes[s] = trades ? SessionChange(static_cast<int>(s), index, SessionMinutes) : 0.0;
        }
        for (Fund& f : m_funds) {
            const double nav = f.nav.back() * (1.0 + PortfolioChange(f, index, closes) / 100.0);
            f.nav.push_back(static_cast<std::int32_t>(std::max(1L, std::lround(nav))));
        }
    }
    for (std::size_t s = 0; s < m_stocks.size(); ++s) {
        m_stocks[s].changePct = closes[s];
    }
}

void Universe::AddDayMoves(int day) {
    Random rng(StreamSeed(m_seed, {DayMoveStream, static_cast<std::uint64_t>(day)}));
    m_marketMove.push_back(rng.Normal(MarketMeanPct, MarketSdPct) / 100.0);
    for (int i = 0; i < IndustryCount; ++i) {
        const double move = rng.Normal(0.0, IndustrySdPct) / 100.0;
        const bool broad = static_cast<Industry>(i) == Industry::Broad;
        m_industryMove[static_cast<std::size_t>(i)].push_back(broad ? 0.0 : move);
    }
    PortfolioDay d;
    d.overseasMove = rng.Normal(OverseasMeanPct, OverseasSdPct) / 100.0;
    d.bondMove = rng.Normal(BondMeanPct, BondSdPct) / 100.0;
    m_portfolioDays.push_back(d);
    m_marketLevel.push_back(Round(m_marketLevel.back() * (1.0 + m_marketMove.back()), 2));
}

// Percent: the market's move (a Hong Kong share follows it in part) and its industry's.
double Universe::StockDayMove(const Stock& stock, int index) const {
    const auto i = static_cast<std::size_t>(index);
    const double beta = stock.InHongKong() ? HongKongMarketBeta : 1.0;
    return 100.0 * (beta * m_marketMove[i] + IndustryMoves(stock.industry)[i]);
}

double Universe::SessionChange(int stock, int index, int sessionMinute) const {
    const Stock& s = m_stocks[static_cast<std::size_t>(stock)];
    const int minute = std::clamp(sessionMinute, 0, SessionMinutes);
    const auto day = static_cast<std::uint64_t>(m_days[static_cast<std::size_t>(index)]);
    Random rng(StreamSeed(m_seed, {SessionPathStream, day, static_cast<std::uint64_t>(stock)}));
    double own = rng.Normal(0.0, OpeningGapSdPct);
    // Uniform steps in (-step, step) have the spread step / sqrt(3).
    const double step = std::sqrt(3.0 / SessionMinutes) * OwnWalkSdPct;
    for (int k = 0; k < minute; ++k) {
        own += step * (2.0 * rng.Uniform() - 1.0);
    }
    const double run = OpeningShare + (1.0 - OpeningShare) * minute / SessionMinutes;
    const double limit = PriceLimit(s);
    return Round(std::clamp(StockDayMove(s, index) * run + own, -limit, limit), 2);
}

Quote Universe::QuoteAt(int stock, int sessionMinute) const {
    const Stock& s = m_stocks[static_cast<std::size_t>(stock)];
    if (!m_onTheClock || s.suspended || !s.quoted) {
        return {s.price, s.changePct};
    }
    const double change = SessionChange(stock, SessionIndex(), sessionMinute);
    return {Round(s.price * (1.0 + change / 100.0), 2), change};
}

// Percent: the move of a portfolio's shares outside its top ten, with the markets and
// industries its theme invests in.
double Universe::ThemeMove(const Fund& fund, int index) const {
    const auto i = static_cast<std::size_t>(index);
    const Theme& theme = fund.theme;
    double market = m_marketMove[i];
    if (theme.listing == Listing::HongKong) {
        market *= HongKongMarketBeta;
    } else if (theme.listing == Listing::Both) {
        market *= BothMarketsBeta;
    } else if (theme.listing == Listing::None && fund.type == FundType::Qdii) {
        market = m_portfolioDays[i - static_cast<std::size_t>(m_firstPortfolioIndex)].overseasMove;
    }
    double industry = 0.0;
    if (!theme.IsBroad()) {
        const double first = IndustryMoves(theme.first)[i];
        industry =
            theme.second == Industry::Broad ? first : (first + IndustryMoves(theme.second)[i]) / 2;
    }
    return 100.0 * (market + industry);
}

// Percent: the top ten at their closes, the rest of the shares with the theme, the bonds with
// the bond market, and a little noise.
double Universe::PortfolioChange(const Fund& fund, int index,
                                 const std::vector<double>& closes) const {
    const std::uint64_t product = ProductKey(fund);
    const auto day = static_cast<std::uint64_t>(m_days[static_cast<std::size_t>(index)]);
    Random noise(StreamSeed(m_seed, {FundDayStream, product, day}));
    const PortfolioDay& moves =
        m_portfolioDays[static_cast<std::size_t>(index - m_firstPortfolioIndex)];
    const double equity = EquityShareOf(m_seed, product, fund.type);
    double held = 0.0;
    double change = 0.0;
    for (const Holding& h : fund.holdings) {
        held += h.weightPct / 100.0;
        change += h.weightPct / 100.0 * closes[static_cast<std::size_t>(h.stock)];
    }
    change += std::max(0.0, equity - held) * ThemeMove(fund, index);
    change += std::max(0.0, 1.0 - std::max(equity, held)) * 100.0 * moves.bondMove;
    const bool bond = fund.type == FundType::Bond;
    return change + noise.Normal(0.0, bond ? BondFundNoiseSdPct : FundNoiseSdPct);
}

} // namespace fundlens::demo
