// The funds of the market: names, share classes, codes, net-value histories, managers and
// holdings.
#include "demo-portal/calendar.h"
#include "demo-portal/generation.h"
#include "demo-portal/holdings_generation.h"
#include "demo-portal/random.h"
#include "demo-portal/universe.h"

#include <algorithm>
#include <unordered_set>

namespace fundlens::demo {

using namespace generation;

namespace {

constexpr double ShareClassFeeDragPerYear = 0.006; // C shares: sales service fee

struct TypeShape {
    FundType type;
    double share;    // of all funds
    double beta[2];  // range
    double idio[2];  // daily idiosyncratic volatility range
    double drift[2]; // yearly alpha range
};

// How much of its industries' own trends a fund follows: a themed fund most of them, a fund
// that picks from the whole market some of one industry it leans to.
constexpr double ThemedExposure[2] = {0.5, 0.9};
constexpr double LeaningExposure[2] = {0.2, 0.5};

// Shares sum to 1.
constexpr std::array<TypeShape, FundTypeCount> kTypeShapes{{
    {FundType::Mixed, 0.40, {0.6, 1.15}, {0.005, 0.011}, {-0.06, 0.12}},
    {FundType::Stock, 0.12, {0.85, 1.25}, {0.006, 0.012}, {-0.06, 0.12}},
    {FundType::Bond, 0.25, {0.0, 0.04}, {0.0004, 0.0012}, {0.015, 0.05}},
    {FundType::Index, 0.13, {0.9, 1.3}, {0.003, 0.008}, {-0.08, 0.08}},
    {FundType::Qdii, 0.04, {0.2, 0.5}, {0.008, 0.013}, {-0.05, 0.15}},
    {FundType::Lof, 0.03, {0.6, 1.1}, {0.004, 0.009}, {-0.06, 0.10}},
    {FundType::Fof, 0.03, {0.15, 0.45}, {0.001, 0.003}, {0.0, 0.06}},
}};

const TypeShape& ShapeOf(FundType type) {
    for (const TypeShape& s : kTypeShapes) {
        if (s.type == type) {
            return s;
        }
    }
    return kTypeShapes[0];
}

FundType PickType(Random& rng) {
    double u = rng.Uniform();
    for (const TypeShape& s : kTypeShapes) {
        if (u < s.share) {
            return s.type;
        }
        u -= s.share;
    }
    return FundType::Mixed;
}

// One fund product: one or two share classes with the same portfolio and history.
struct Product {
    FundType type = FundType::Mixed;
    Theme theme;
    int house = 0;
    std::string name; // without the class letter
    std::string pinyin;
    std::vector<std::string> classes; // "A", "C", or one empty class
    int firstIndex = 0;
    int inceptionDay = 0;
    double dividends = 0;
    double size = 0;
    std::vector<double> navs; // from firstIndex
    std::vector<Management> managements;
    std::vector<Holding> holdings;
    std::vector<std::vector<Holding>> earlierHoldings;
};

// A name no other product has: house + theme + type word. False when none was found.
bool NameProduct(Random& rng, Product& p, std::unordered_set<std::string>& usedNames) {
    const auto houses = FundHouses();
    const auto themes = FundThemes(p.type);
    const auto words = FundTypeWords(p.type);
    for (int attempt = 0; attempt < 40; ++attempt) {
        const int house = rng.Between(0, static_cast<int>(houses.size()) - 1);
        const Theme& theme = themes[rng.Next() % themes.size()];
        const Word& word = words[rng.Next() % words.size()];
        std::string name = std::string(houses[static_cast<std::size_t>(house)].text) +
                           std::string(theme.word.text) + std::string(word.text);
        std::string pinyin = std::string(houses[static_cast<std::size_t>(house)].pinyin) + " " +
                             std::string(theme.word.pinyin) + " " + std::string(word.pinyin);
        if (attempt >= 30) {
            name += "二号";
            pinyin += " er hao";
        }
        if (usedNames.insert(name).second) {
            p.theme = theme;
            p.house = house;
            p.name = std::move(name);
            p.pinyin = std::move(pinyin);
            return true;
        }
    }
    return false;
}

using IndustryMoves = std::array<std::vector<double>, IndustryCount>;

// The industry trend a fund follows (daily log returns) and how much of it.
struct Exposure {
    std::vector<double> moves;
    double weight = 0.0;
};

Exposure ExposureOf(Random& rng, const Product& p, const IndustryMoves& industries) {
    Exposure e;
    if (!HoldsStocks(p.type)) {
        return e;
    }
    const auto& first = industries[static_cast<std::size_t>(p.theme.first)];
    const auto& second = industries[static_cast<std::size_t>(p.theme.second)];
    if (p.theme.IsBroad()) {
        e.moves = industries[static_cast<std::size_t>(rng.Between(1, IndustryCount - 1))];
        e.weight = rng.Uniform(LeaningExposure[0], LeaningExposure[1]);
        return e;
    }
    e.moves.resize(first.size());
    for (std::size_t t = 0; t < first.size(); ++t) {
        e.moves[t] = p.theme.second == Industry::Broad ? first[t] : (first[t] + second[t]) / 2.0;
    }
    e.weight = rng.Uniform(ThemedExposure[0], ThemedExposure[1]);
    return e;
}

// Launch date and the daily net values: the market's move times the fund's beta, its
// industries' trend, its own drift and noise.
void GrowHistory(Random& rng, Product& p, const std::vector<int>& days,
                 const std::vector<double>& marketMove, const IndustryMoves& industries) {
    const TypeShape& shape = ShapeOf(p.type);
    const int lastIndex = static_cast<int>(days.size()) - 1;
    const bool old = rng.Chance(0.7);
    p.firstIndex = old ? 0 : rng.Between(1, lastIndex - 40);
    p.inceptionDay =
        old ? days.front() - rng.Between(30, 4000) : days[static_cast<std::size_t>(p.firstIndex)];
    p.dividends = old && rng.Chance(0.5) ? Round(rng.Uniform(0.0, 0.8), 4) : 0.0;
    const double beta = rng.Uniform(shape.beta[0], shape.beta[1]);
    const double idio = rng.Uniform(shape.idio[0], shape.idio[1]);
    const double alpha = rng.Uniform(shape.drift[0], shape.drift[1]) / TradingDaysPerYear;
    const Exposure exposure = ExposureOf(rng, p, industries);
    double nav = 1.0;
    if (old) {
        nav = p.type == FundType::Bond ? 1.0 + rng.Uniform(0.0, 0.3)
                                       : std::clamp(std::exp(rng.Normal(0.3, 0.35)), 0.5, 4.5);
    }
    p.navs.reserve(static_cast<std::size_t>(lastIndex - p.firstIndex + 1));
    p.navs.push_back(nav);
    for (int t = p.firstIndex + 1; t <= lastIndex; ++t) {
        // A new fund builds its position over its first weeks.
        const double ramp = std::min(1.0, (t - p.firstIndex) / 20.0);
        const auto i = static_cast<std::size_t>(t);
        const double industry = exposure.weight > 0.0 ? exposure.weight * exposure.moves[i] : 0.0;
        const double r = ramp * (alpha + beta * marketMove[i] + industry + idio * rng.Normal());
        nav *= std::exp(r);
        p.navs.push_back(nav);
    }
}

// The product's share classes as funds (without codes yet). C shares pay a yearly sales
// service fee out of their net value and have no purchase fee.
std::vector<Fund> ShareClasses(Random& rng, const Product& p) {
    std::vector<Fund> funds;
    for (const std::string& shareClass : p.classes) {
        Fund f;
        f.type = p.type;
        f.theme = p.theme;
        f.house = p.house;
        f.name = p.name + shareClass;
        const std::string pinyin = p.pinyin + (shareClass.empty() ? "" : " " + shareClass);
        f.abbreviation = PinyinInitials(pinyin);
        f.pinyin = PinyinJoined(pinyin);
        f.inceptionDay = p.inceptionDay;
        f.firstIndex = p.firstIndex;
        const bool feeClass = shareClass == "C";
        f.nav.reserve(p.navs.size());
        for (std::size_t i = 0; i < p.navs.size(); ++i) {
            const double years = static_cast<double>(i) / TradingDaysPerYear;
            const double v =
                feeClass ? p.navs[i] * (1.0 - ShareClassFeeDragPerYear * years) : p.navs[i];
            f.nav.push_back(static_cast<std::int32_t>(std::lround(v * 10000.0)));
        }
        f.dividends = p.dividends;
        f.sizeYi = std::max(Round(feeClass ? p.size * rng.Uniform(0.1, 0.6) : p.size, 2), 0.01);
        f.feePct = feeClass ? 0.0 : (p.type == FundType::Bond ? 0.08 : 0.15);
        f.managements = p.managements;
        f.holdings = p.holdings;
        f.earlierHoldings = p.earlierHoldings;
        funds.push_back(std::move(f));
    }
    return funds;
}

// Six-digit codes, neighbouring ones for the classes of one product.
class CodeAllocator {
public:
    explicit CodeAllocator(std::uint64_t seed) : m_rng(seed) {}

    int Take(int count) {
        for (;;) {
            const int base = m_rng.Between(1, 19999 - count);
            bool free = true;
            for (int i = 0; i < count; ++i) {
                free = free && m_used.count(base + i) == 0;
            }
            if (free) {
                for (int i = 0; i < count; ++i) {
                    m_used.insert(base + i);
                }
                return base;
            }
        }
    }

private:
    Random m_rng;
    std::unordered_set<int> m_used;
};

std::vector<Management> MakeManagements(Random& rng, int firstIndex, int lastIndex,
                                        int managerCount) {
    std::vector<Management> list;
    const int life = lastIndex - firstIndex;
    int start = firstIndex;
    if (life > 80 && rng.Chance(0.7)) {
        start = rng.Between(firstIndex + 20, lastIndex - 20);
    }
    auto team = [&]() {
        const double u = rng.Uniform();
        const int size = u < 0.55 ? 1 : (u < 0.85 ? 2 : 3);
        std::vector<int> members;
        while (static_cast<int>(members.size()) < size) {
            const int m = rng.Between(0, managerCount - 1);
            if (std::find(members.begin(), members.end(), m) == members.end()) {
                members.push_back(m);
            }
        }
        return members;
    };
    list.push_back({team(), start, lastIndex, true, 0.0});
    // Earlier teams back to the start of the history.
    int end = start;
    while (end > firstIndex + 5 && list.size() < 4) {
        int begin = list.size() == 3 ? firstIndex : rng.Between(firstIndex, end - 5);
        if (end - begin < 5) {
            begin = firstIndex;
        }
        list.push_back({team(), begin, end, false, 0.0});
        end = begin;
    }
    return list;
}

// How many quarter ends before the report day the fund had been running at, at most
// Universe::EarlierQuarters.
int EarlierQuartersRun(const Product& p, const std::vector<int>& days, int reportDay) {
    const int launch = days[static_cast<std::size_t>(p.firstIndex)];
    int quarters = 0;
    for (int end = LastQuarterEnd(reportDay - 1);
         quarters < Universe::EarlierQuarters && (p.firstIndex == 0 || launch <= end);
         end = LastQuarterEnd(end - 1)) {
        ++quarters;
    }
    return quarters;
}

// A bond fund holds bonds, no stocks: its archive lists none, quarter by quarter. Its stocks
// are still drawn and then dropped, so that every later draw, and every other fund, stays as
// it was.
void DropStocks(Product& p) {
    p.holdings.clear();
    for (std::vector<Holding>& quarter : p.earlierHoldings) {
        quarter.clear();
    }
}

} // namespace

void Universe::BuildFunds() {
    const StockPicker picker(m_stocks, m_stockPopularity);
    std::unordered_set<std::string> usedNames;
    std::vector<int> classCounts; // per product, in the order of m_funds
    for (std::uint64_t productIndex = 0; static_cast<int>(m_funds.size()) < FundCount;
         ++productIndex) {
        Random rng(StreamSeed(m_seed, {FundStream, productIndex}));
        Product p;
        p.type = PickType(rng);
        if (!NameProduct(rng, p, usedNames)) {
            continue;
        }
        const int remaining = FundCount - static_cast<int>(m_funds.size());
        if (p.type != FundType::Lof && remaining >= 2 && rng.Chance(0.35)) {
            p.classes = {"A", "C"};
        } else {
            p.classes = {p.type == FundType::Lof || rng.Chance(0.3) ? "" : "A"};
        }
        GrowHistory(rng, p, m_days, m_marketMove, m_industryMove);
        p.size = std::clamp(std::exp(rng.Normal(1.5, 1.4)), 0.05, 600.0);
        p.managements =
            MakeManagements(rng, p.firstIndex, LastIndex(), static_cast<int>(m_managers.size()));
        p.holdings = picker.PickHoldings(rng, p.type, p.theme, p.size);
        p.earlierHoldings = picker.EarlierHoldings(rng, p.theme, p.size, p.holdings,
                                                   EarlierQuartersRun(p, m_days, m_reportDay));
        if (p.type == FundType::Bond) {
            DropStocks(p);
        }
        classCounts.push_back(static_cast<int>(p.classes.size()));
        for (Fund& f : ShareClasses(rng, p)) {
            m_funds.push_back(std::move(f));
        }
    }

    CodeAllocator codes(StreamSeed(m_seed, {CodeStream}));
    std::size_t next = 0;
    for (int classes : classCounts) {
        const int base = codes.Take(classes);
        for (int c = 0; c < classes; ++c) {
            m_funds[next++].code = Code6(base + c);
        }
    }
    std::sort(m_funds.begin(), m_funds.end(),
              [](const Fund& a, const Fund& b) { return a.code < b.code; });
    for (std::size_t i = 0; i < m_funds.size(); ++i) {
        m_fundByCode.emplace(m_funds[i].code, static_cast<int>(i));
        ComputeFigures(m_funds[i]);
    }
}

} // namespace fundlens::demo
