// The stocks of the market: mainland shares, a few depository receipts and Hong Kong shares,
// each of one industry, with today's quote.
#include "demo-portal/generation.h"
#include "demo-portal/random.h"
#include "demo-portal/universe.h"

#include <algorithm>
#include <unordered_set>

namespace fundlens::demo {

using namespace generation;

namespace {

constexpr double FlatShare = 0.08;           // stocks that did not move today
constexpr double SuspendedShare = 0.02;      // stocks not traded today
constexpr double DelistedShare = 0.01;       // mainland stocks the quote endpoint no longer knows
constexpr double StockNoiseSd = 1.6;         // today's own move, percent
constexpr double WeightedVotingShare = 0.15; // Hong Kong names marked "-W"
constexpr int FirstReceiptCode = 689001;

// Depository receipts on the science board: the name carries "(CDR)".
struct Receipt {
    std::string_view suffix;
    Industry industry;
};
constexpr std::array<Receipt, 3> kReceipts{{
    {"微", Industry::Chip},
    {"芯", Industry::Chip},
    {"创", Industry::Tech},
}};

// A board and a code on it.
void PlaceOnMainlandBoard(Random& rng, Stock& s) {
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
}

// Names and codes are unique across the whole market.
class StockNames {
public:
    bool Take(const Stock& s) {
        if (m_names.count(s.name) || m_codes.count(s.code)) {
            return false;
        }
        m_names.insert(s.name);
        m_codes.insert(s.code);
        return true;
    }

private:
    std::unordered_set<std::string> m_names;
    std::unordered_set<std::string> m_codes;
};

std::string DrawName(Random& rng, std::string_view suffix) {
    const auto prefixes = StockPrefixes();
    return std::string(prefixes[rng.Next() % prefixes.size()]) + std::string(suffix);
}

std::vector<Stock> DrawMainland(Random& rng, StockNames& names, int count) {
    const auto suffixes = StockSuffixes();
    std::vector<Stock> stocks;
    while (static_cast<int>(stocks.size()) < count) {
        Stock s;
        const StockSuffix& suffix = suffixes[rng.Next() % suffixes.size()];
        s.name = DrawName(rng, suffix.text);
        s.industry = suffix.industry;
        PlaceOnMainlandBoard(rng, s);
        if (rng.Chance(DelistedShare)) {
            s.name += "退";
            s.quoted = false;
        }
        if (names.Take(s)) {
            stocks.push_back(std::move(s));
        }
    }
    return stocks;
}

std::vector<Stock> DrawReceipts(Random& rng, StockNames& names) {
    std::vector<Stock> stocks;
    while (stocks.size() < kReceipts.size()) {
        const Receipt& receipt = kReceipts[stocks.size()];
        Stock s;
        s.name = DrawName(rng, receipt.suffix) + "(CDR)";
        s.industry = receipt.industry;
        s.code = Code6(FirstReceiptCode + static_cast<int>(stocks.size()));
        if (names.Take(s)) {
            stocks.push_back(std::move(s));
        }
    }
    return stocks;
}

std::vector<Stock> DrawHongKong(Random& rng, StockNames& names, int count) {
    const auto suffixes = HongKongStockSuffixes();
    std::vector<Stock> stocks;
    while (static_cast<int>(stocks.size()) < count) {
        Stock s;
        const StockSuffix& suffix = suffixes[rng.Next() % suffixes.size()];
        s.name = DrawName(rng, suffix.text) + (rng.Chance(WeightedVotingShare) ? "-W" : "");
        s.industry = suffix.industry;
        s.market = HongKongMarket;
        char code[8];
        std::snprintf(code, sizeof code, "%05d", rng.Between(1, 9999));
        s.code = code;
        if (names.Take(s)) {
            stocks.push_back(std::move(s));
        }
    }
    return stocks;
}

} // namespace

// Today's change follows the market and the stock's industry on the last trading day.
void Universe::SetTodaysQuote(Random& rng, Stock& s) const {
    s.price = Round(std::clamp(std::exp(rng.Normal(3.0, 0.9)), 2.0, 1500.0), 2);
    s.pe = Round(rng.Uniform(5.0, 80.0), 2);
    const auto last = static_cast<std::size_t>(LastIndex());
    const double beta = s.InHongKong() ? HongKongMarketBeta : 1.0;
    const double move = 100.0 * (beta * m_marketMove[last] + IndustryMoves(s.industry)[last]);
    const double limit = PriceLimit(s);
    const double u = rng.Uniform();
    s.suspended = u < SuspendedShare;
    if (u < SuspendedShare + FlatShare) {
        s.changePct = 0.0;
    } else {
        s.changePct = Round(std::clamp(move + rng.Normal(0.0, StockNoiseSd), -limit, limit), 2);
    }
}

void Universe::BuildStocks() {
    Random rng(StreamSeed(m_seed, {StockStream}));
    StockNames names;
    std::vector<Stock> drawn = DrawMainland(rng, names, StockCount);
    for (std::vector<Stock> more :
         {DrawReceipts(rng, names), DrawHongKong(rng, names, HongKongStockCount)}) {
        drawn.insert(drawn.end(), more.begin(), more.end());
    }
    for (Stock& s : drawn) {
        SetTodaysQuote(rng, s);
        m_stockBySecId.emplace(s.SecId(), static_cast<int>(m_stocks.size()));
        m_stocks.push_back(std::move(s));
    }
    RankPopularity(rng);
}

// Popular stocks end up in many funds.
void Universe::RankPopularity(Random& rng) {
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

} // namespace fundlens::demo
