#include "demo-portal/universe.h"

#include "demo-portal/calendar.h"
#include "demo-portal/random.h"
#include "lists/sector_table.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <unordered_set>

namespace fundlens::demo {

namespace {

// Stream keys: one random stream per purpose.
enum : std::uint64_t {
    MarketStream = 1,
    StockStream,
    ManagerStream,
    FundStream,
    CodeStream,
    RatingStream,
    SectorStream,
};

constexpr int TradingDaysPerYear = 250;
constexpr double RiskFreePct = 1.5;
constexpr double ShareClassFeeDragPerYear = 0.006; // C shares: sales service fee

double Round(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

struct TypeShape {
    FundType type;
    double share;    // of all funds
    double beta[2];  // range
    double idio[2];  // daily idiosyncratic volatility range
    double drift[2]; // yearly alpha range
};

// Shares sum to 1.
constexpr std::array<TypeShape, FundTypeCount> kTypeShapes{{
    {FundType::Mixed, 0.40, {0.6, 1.15}, {0.004, 0.009}, {-0.06, 0.12}},
    {FundType::Stock, 0.12, {0.85, 1.25}, {0.005, 0.010}, {-0.06, 0.12}},
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

bool HoldsStocks(FundType type) {
    return type != FundType::Bond && type != FundType::Fof;
}

std::string Code6(int n) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%06d", n);
    return buffer;
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

namespace {

// One fund product: one or two share classes with the same portfolio.
struct Product {
    FundType type;
    int house;
    std::string name; // without the class letter
    std::string pinyin;
    std::vector<std::string> classes; // "A", "C", or one empty class
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

} // namespace

void Universe::BuildFunds() {
    Random codeRng(StreamSeed(m_seed, {CodeStream}));
    std::unordered_set<int> usedCodes;
    std::unordered_set<std::string> usedNames;
    const int lastIndex = LastIndex();
    const auto houses = FundHouses();

    auto freeCode = [&](int count) {
        for (;;) {
            const int base = codeRng.Between(1, 19999 - count);
            bool free = true;
            for (int i = 0; i < count; ++i) {
                free = free && !usedCodes.count(base + i);
            }
            if (free) {
                for (int i = 0; i < count; ++i) {
                    usedCodes.insert(base + i);
                }
                return base;
            }
        }
    };

    std::vector<int> classCounts; // per product, in the order of m_funds
    for (std::uint64_t productIndex = 0; static_cast<int>(m_funds.size()) < FundCount;
         ++productIndex) {
        Random rng(StreamSeed(m_seed, {FundStream, productIndex}));
        Product p;
        p.type = PickType(rng);
        // A unique product name: house + theme + type word.
        for (int attempt = 0; attempt < 40 && p.name.empty(); ++attempt) {
            const int house = rng.Between(0, static_cast<int>(houses.size()) - 1);
            const auto themes = FundThemes(p.type);
            const auto words = FundTypeWords(p.type);
            const Word& theme = themes[rng.Next() % themes.size()];
            const Word& word = words[rng.Next() % words.size()];
            std::string name =
                std::string(houses[house].text) + std::string(theme.text) + std::string(word.text);
            std::string pinyin = std::string(houses[house].pinyin) + " " +
                                 std::string(theme.pinyin) + " " + std::string(word.pinyin);
            if (attempt >= 30) {
                name += "二号";
                pinyin += " er hao";
            }
            if (usedNames.insert(name).second) {
                p.house = house;
                p.name = std::move(name);
                p.pinyin = std::move(pinyin);
            }
        }
        if (p.name.empty()) {
            continue;
        }
        const int remaining = FundCount - static_cast<int>(m_funds.size());
        if (p.type != FundType::Lof && remaining >= 2 && rng.Chance(0.35)) {
            p.classes = {"A", "C"};
        } else {
            p.classes = {p.type == FundType::Lof || rng.Chance(0.3) ? "" : "A"};
        }

        // Life and market behaviour.
        const TypeShape& shape = ShapeOf(p.type);
        const bool old = rng.Chance(0.7);
        const int firstIndex = old ? 0 : rng.Between(1, lastIndex - 40);
        const double beta = rng.Uniform(shape.beta[0], shape.beta[1]);
        const double idio = rng.Uniform(shape.idio[0], shape.idio[1]);
        const double alpha = rng.Uniform(shape.drift[0], shape.drift[1]) / TradingDaysPerYear;
        double nav = 1.0;
        if (old) {
            nav = p.type == FundType::Bond ? 1.0 + rng.Uniform(0.0, 0.3)
                                           : std::clamp(std::exp(rng.Normal(0.3, 0.35)), 0.5, 4.5);
        }
        std::vector<double> navs;
        navs.reserve(static_cast<std::size_t>(lastIndex - firstIndex + 1));
        navs.push_back(nav);
        for (int t = firstIndex + 1; t <= lastIndex; ++t) {
            // A new fund builds its position over its first weeks.
            const double ramp = std::min(1.0, (t - firstIndex) / 20.0);
            const double r = ramp * (alpha + beta * m_marketMove[static_cast<std::size_t>(t)] +
                                     idio * rng.Normal());
            nav *= std::exp(r);
            navs.push_back(nav);
        }
        const int inceptionDay = old ? m_days.front() - rng.Between(30, 4000)
                                     : m_days[static_cast<std::size_t>(firstIndex)];
        const double dividends = old && rng.Chance(0.5) ? Round(rng.Uniform(0.0, 0.8), 4) : 0.0;
        const double size = std::clamp(std::exp(rng.Normal(1.5, 1.4)), 0.05, 600.0);
        const int managerCount = static_cast<int>(m_managers.size());
        std::vector<Management> managements =
            MakeManagements(rng, firstIndex, lastIndex, managerCount);

        // Holdings, shared by the share classes.
        std::vector<Holding> holdings;
        int holdingCount = 0;
        if (HoldsStocks(p.type)) {
            holdingCount = 10;
            if (p.type == FundType::Mixed && rng.Chance(0.05)) {
                holdingCount = rng.Between(6, 9);
            } else if (p.type == FundType::Qdii) {
                holdingCount = rng.Chance(0.3) ? 0 : rng.Between(3, 10);
            }
        } else if (p.type == FundType::Bond && rng.Chance(0.4)) {
            holdingCount = rng.Between(1, 5);
        }
        double weight = HoldsStocks(p.type) ? rng.Uniform(6.5, 10.0) : rng.Uniform(0.8, 3.0);
        std::vector<int> chosen;
        while (static_cast<int>(chosen.size()) < holdingCount) {
            // Popular stocks are drawn more often (rejection sampling on the popularity).
            const int s = rng.Between(0, StockCount - 1);
            if (rng.Uniform() * 0.25 > m_stockPopularity[static_cast<std::size_t>(s)] ||
                std::find(chosen.begin(), chosen.end(), s) != chosen.end()) {
                continue;
            }
            chosen.push_back(s);
            Holding h;
            h.stock = s;
            h.weightPct = Round(weight, 2);
            h.valueWan = Round(h.weightPct / 100.0 * size * 10000.0, 2);
            h.sharesWan = Round(h.valueWan / m_stocks[static_cast<std::size_t>(s)].price, 2);
            holdings.push_back(h);
            weight = std::max(weight * rng.Uniform(0.78, 0.96), 0.3);
        }

        classCounts.push_back(static_cast<int>(p.classes.size()));
        for (std::size_t c = 0; c < p.classes.size(); ++c) {
            Fund f;
            f.type = p.type;
            f.house = p.house;
            f.name = p.name + p.classes[c];
            const std::string pinyin = p.pinyin + (p.classes[c].empty() ? "" : " " + p.classes[c]);
            f.abbreviation = PinyinInitials(pinyin);
            f.pinyin = PinyinJoined(pinyin);
            f.inceptionDay = inceptionDay;
            f.firstIndex = firstIndex;
            const bool feeClass = p.classes[c] == "C";
            f.nav.reserve(navs.size());
            for (std::size_t i = 0; i < navs.size(); ++i) {
                const double years = static_cast<double>(i) / TradingDaysPerYear;
                const double v =
                    feeClass ? navs[i] * (1.0 - ShareClassFeeDragPerYear * years) : navs[i];
                f.nav.push_back(static_cast<std::int32_t>(std::lround(v * 10000.0)));
            }
            f.dividends = dividends;
            f.sizeYi = Round(feeClass ? size * rng.Uniform(0.1, 0.6) : size, 2);
            f.sizeYi = std::max(f.sizeYi, 0.01);
            f.feePct = feeClass ? 0.0 : (p.type == FundType::Bond ? 0.08 : 0.15);
            f.managements = managements;
            f.holdings = holdings;
            m_funds.push_back(std::move(f));
        }
    }

    // Codes (the two classes of a product get neighbouring codes), then the portal's order.
    std::size_t next = 0;
    for (int classes : classCounts) {
        const int base = freeCode(classes);
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
