// The fund-compare endpoint: the request for one period's cumulative-return curves and the cut
// of its answer into dates, one value list per fund and the two axis descriptions.
#pragma once

#include "text/text.h"

#include <vector>

namespace fundlens {

// Path of the endpoint on the API host.
inline constexpr const char* ComparePath = "/FundCompare/LJSYL";

// The endpoint's URL for `compareCodes` ("005669" or "005669,005939") and a period key
// ("week" … "threeyear"). Always plain http on the API host, whatever scheme the profile gives.
Text CompareUrl(const Text& compareCodes, const Text& periodKey);

// The one extra request line the endpoint wants: a Referer naming the fund site's compare page.
Text CompareRefererHeader();

// What the loader tells the user when the answer holds no usable data list (GBK).
Text ComparisonFailedMessage();

// The cut answer. `ok` false: the request failed, a marker is missing or the data list is
// empty, and the loader reports ComparisonFailedMessage(). `ok` with no dates: no point record
// was found and nothing is drawn.
struct Comparison {
    bool ok = false;
    std::vector<Text> dates;    // the full date text of each point
    std::vector<float> seriesA; // fund A's value at each point (empty when A is not set)
    std::vector<float> seriesB; // fund B's value at each point (empty when B is not set)
    Text horizontalSpec;        // N + "|label||label|…|label|"
    Text verticalSpec;          // "9|min|max"

    bool HasPoints() const { return ok && !dates.empty(); }
};

// Cuts the answer (already GBK) for fund A and fund B; either code may be empty, and the
// answer lists A's member before B's. The value range of the vertical description is
// floor(min) … ceil(max) of all values, at least one unit wide, so every curve lies inside it.
Comparison CutComparison(const Text& answer, const Text& codeA, const Text& codeB);

// The answer for any number of funds (the comparison basket's), cut into one curve per code.
struct FundCurves {
    bool ok = false;                         // as Comparison::ok
    std::vector<Text> dates;                 // the full date text of each point
    std::vector<std::vector<double>> values; // per code, in the codes' order: one per point
    std::vector<bool> found;                 // per code: its member stands in some record
    Text horizontalSpec;                     // N + "|label||label|…|label|"

    bool HasPoints() const { return ok && !dates.empty(); }
};

// Cuts the answer (already GBK) for `codes`, in the order asked. A fund's value runs from its
// code + `":` to the nearer of `,"` and `}`: read so, the members may stand in any order and a
// fund the portal leaves out of a record takes no other fund's value with it. A fund missing
// from a record reads 0 there; one missing from every record is not found.
FundCurves CutFundCurves(const Text& answer, const std::vector<Text>& codes);

// A curve's values as the chart draws them: one beyond the float range reads as 0.
std::vector<float> ChartValues(const std::vector<double>& values);

// The vertical description over every value of `series`: "9|floor(min)|ceil(max)", at least
// one unit wide ("9|0|1" without any value).
Text ValueRangeSpec(const std::vector<std::vector<float>>& series);

} // namespace fundlens
