// The fund pages of the portal: profile, managers, risk figures, the main page and the
// net-value page. Bodies are UTF-8 HTML with the markup the program's cuts rely on.
#pragma once

#include "demo-portal/answer.h"
#include "demo-portal/universe.h"

#include <array>
#include <string>
#include <vector>

namespace fundlens::demo {

class FundPages {
public:
    explicit FundPages(const Universe& universe);

    // "jbgk_<code>.html"; the pages of older funds are still in GBK.
    Answer Profile(const Fund& fund, const std::string& host) const;
    static bool ProfileInGbk(const Fund& fund, const Universe& universe);
    // "jjjl_<code>.html"
    std::string Managers(const Fund& fund, const std::string& host) const;
    // "tsdata_<code>.html"
    std::string Risk(const Fund& fund, const std::string& host) const;
    // "<code>.html"
    std::string Main(const Fund& fund, const std::string& host) const;
    // "jjjz_<code>.html"; the chart image lies at "//<host>/img/jjjz/<code>.png".
    std::string NetValues(const Fund& fund, const std::string& host) const;

    // "12.34%", or "--" for a missing figure.
    static std::string PercentText(double value);
    // "3年又120天" / "45天".
    static std::string TenureText(int days);

private:
    struct TypeFigures {
        std::array<double, PeriodCount> average{};
        std::array<int, PeriodCount> valued{};
    };
    int RankInType(const Fund& fund, Period period) const;
    std::string NetValueSummary(const Fund& fund, const std::string& host) const;
    std::string FundFacts(const Fund& fund, const std::string& host) const;
    std::string ReturnsTable(const Fund& fund) const;
    std::string FundHeader(const Fund& fund, const std::string& host,
                           std::string_view section) const;

    const Universe& m_universe;
    std::array<TypeFigures, FundTypeCount> m_types;
    // Per type and period: the funds' returns, best first.
    std::array<std::array<std::vector<double>, PeriodCount>, FundTypeCount> m_sorted;
};

} // namespace fundlens::demo
