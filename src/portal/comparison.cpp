#include "portal/comparison.h"

#include "portal/profile.h"
#include "text/regex_matcher.h"

#include <algorithm>
#include <cmath>

namespace fundlens {

namespace {

// Fixed parts of the request.
constexpr const char* CompareCallback = "jQuery18307015471687350752";
constexpr const char* CompareTimeStamp = "1628388758953";
constexpr const char* RefererPage = "/compare/?code=005669,005939";

// The answer's markers. The data member is JSON text inside JSON, so its quotes arrive escaped.
constexpr const char* DataStart = "\\\"dataProvider\\\": [";
constexpr const char* DataEnd = "]}\",\"ErrCode\"";
constexpr const char* PointPattern = "{ \"date\": \".*?}";
constexpr const char* DateStart = "{ \"date\": \"";
constexpr const char* DateEnd = "\",\"";
constexpr const char* ValueEndFirstOfTwo = ",\"";
constexpr const char* ValueEndLast = "}";

// Divisions of the vertical axis.
constexpr int VerticalDivisions = 9;

// Where a fund's value text ends: as the two-fund chart reads it (`,"` after every fund but the
// last, `}` after the last), or at the nearer of the two.
enum class ValueEnd { FirstOfTwo, Last, Nearer };

Text ValueText(const Text& record, const Text& code, ValueEnd end) {
    const Text start = code + "\":";
    if (end == ValueEnd::FirstOfTwo)
        return TextBetween(record, start, ValueEndFirstOfTwo);
    if (end == ValueEnd::Last)
        return TextBetween(record, start, ValueEndLast);
    const std::size_t at = FindText(record, start);
    if (at == Text::npos)
        return Text();
    const std::size_t from = at + start.size();
    const std::size_t to =
        std::min(FindText(record, ValueEndFirstOfTwo, from), FindText(record, ValueEndLast, from));
    return to == Text::npos ? Text() : record.substr(from, to - from);
}

// A value text's number; one beyond the double range reads as 0.
double ValueOf(const Text& valueText) {
    const double value = TextToNumber(valueText);
    return std::isfinite(value) ? value : 0.0;
}

// What both cuts share: the records of the data list, each fund's value read with the end
// `endOf(i)` gives fund i, the dates and the horizontal description.
template <class EndOf>
FundCurves CutRecords(const Text& answer, const std::vector<Text>& codes, EndOf endOf) {
    FundCurves result;
    const Text data = ReplaceAll(TextBetween(answer, DataStart, DataEnd), "\\", "");
    if (data.empty() || codes.empty())
        return result;
    result.ok = true;
    result.values.resize(codes.size());
    result.found.assign(codes.size(), false);
    RegexMatcher records;
    records.Create(PointPattern, data);
    Text labels;
    for (int i = 1; i <= records.MatchCount(); ++i) {
        const Text record = records.MatchText(i);
        for (std::size_t f = 0; f < codes.size(); ++f) {
            if (FindText(record, codes[f] + "\":") != Text::npos)
                result.found[f] = true;
            result.values[f].push_back(ValueOf(ValueText(record, codes[f], endOf(f))));
        }
        const Text date = TextBetween(record, DateStart, DateEnd);
        result.dates.push_back(date);
        labels += "|" + TextAfterLast(date, "/") + "|";
    }
    if (!result.dates.empty())
        result.horizontalSpec = NumberToText(static_cast<int>(result.dates.size()) - 1) + labels;
    return result;
}

} // namespace

std::vector<float> ChartValues(const std::vector<double>& values) {
    std::vector<float> chart;
    chart.reserve(values.size());
    for (double v : values) {
        const float value = static_cast<float>(v);
        chart.push_back(std::isfinite(value) ? value : 0.0f);
    }
    return chart;
}

Text CompareUrl(const Text& compareCodes, const Text& periodKey) {
    const Text url =
        PortalUrl(PortalHost::Api, Text(ComparePath) + "?bzdm=" + compareCodes + "&c=" + periodKey +
                                       "&callback=" + CompareCallback + "&_=" + CompareTimeStamp);
    // The endpoint is asked over plain http.
    return StartsWithNoCase(url, "https://") ? "http://" + url.substr(8) : url;
}

Text CompareRefererHeader() {
    return "Referer: " + PortalUrl(PortalHost::Fund, RefererPage);
}

Text ComparisonFailedMessage() {
    return "坐标数据获取失败"_gbk;
}

Comparison CutComparison(const Text& answer, const Text& codeA, const Text& codeB) {
    std::vector<Text> codes;
    for (const Text* code : {&codeA, &codeB}) {
        if (!code->empty())
            codes.push_back(*code);
    }
    const FundCurves curves = CutRecords(answer, codes, [&](std::size_t f) {
        return f + 1 < codes.size() ? ValueEnd::FirstOfTwo : ValueEnd::Last;
    });
    Comparison result;
    result.ok = curves.ok;
    if (!curves.ok)
        return result;
    std::size_t f = 0;
    if (!codeA.empty())
        result.seriesA = ChartValues(curves.values[f++]);
    if (!codeB.empty())
        result.seriesB = ChartValues(curves.values[f]);
    result.dates = curves.dates;
    if (result.dates.empty())
        return result;
    result.horizontalSpec = curves.horizontalSpec;
    result.verticalSpec = ValueRangeSpec({result.seriesA, result.seriesB});
    return result;
}

FundCurves CutFundCurves(const Text& answer, const std::vector<Text>& codes) {
    return CutRecords(answer, codes, [](std::size_t) { return ValueEnd::Nearer; });
}

Text ValueRangeSpec(const std::vector<std::vector<float>>& series) {
    double low = 0, high = 0;
    bool first = true;
    for (const std::vector<float>& values : series) {
        for (float v : values) {
            low = first ? v : std::min(low, static_cast<double>(v));
            high = first ? v : std::max(high, static_cast<double>(v));
            first = false;
        }
    }
    const double ymin = std::floor(low);
    const double ymax = std::max(std::ceil(high), ymin + 1);
    return NumberToText(VerticalDivisions) + "|" + NumberToText(ymin) + "|" + NumberToText(ymax);
}

} // namespace fundlens
