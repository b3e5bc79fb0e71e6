#include "portal/comparison.h"

#include "portal/profile.h"
#include "text/regex_matcher.h"

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

float ValueOf(const Text& record, const Text& code, const char* end) {
    const float value = static_cast<float>(TextToNumber(TextBetween(record, code + "\":", end)));
    return std::isfinite(value) ? value : 0.0f; // a number beyond float range reads as 0
}

// "9|floor(min)|ceil(max)", at least one unit wide.
Text VerticalSpecOf(const std::vector<float>& a, const std::vector<float>& b) {
    double low = 0, high = 0;
    bool first = true;
    for (const auto* series : {&a, &b}) {
        for (float v : *series) {
            low = first ? v : std::min(low, static_cast<double>(v));
            high = first ? v : std::max(high, static_cast<double>(v));
            first = false;
        }
    }
    const double ymin = std::floor(low);
    const double ymax = std::max(std::ceil(high), ymin + 1);
    return NumberToText(VerticalDivisions) + "|" + NumberToText(ymin) + "|" + NumberToText(ymax);
}

} // namespace

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
    Comparison result;
    const Text data = ReplaceAll(TextBetween(answer, DataStart, DataEnd), "\\", "");
    if (data.empty() || (codeA.empty() && codeB.empty())) {
        return result;
    }
    result.ok = true;
    RegexMatcher records;
    records.Create(PointPattern, data);
    const bool both = !codeA.empty() && !codeB.empty();
    Text labels;
    for (int i = 1; i <= records.MatchCount(); ++i) {
        const Text record = records.MatchText(i);
        if (!codeA.empty()) {
            result.seriesA.push_back(
                ValueOf(record, codeA, both ? ValueEndFirstOfTwo : ValueEndLast));
        }
        if (!codeB.empty()) {
            result.seriesB.push_back(ValueOf(record, codeB, ValueEndLast));
        }
        const Text date = TextBetween(record, DateStart, DateEnd);
        result.dates.push_back(date);
        labels += "|" + TextAfterLast(date, "/") + "|";
    }
    if (result.dates.empty()) {
        return result;
    }
    const int intervals = static_cast<int>(result.dates.size()) - 1;
    result.horizontalSpec = NumberToText(intervals) + labels;
    result.verticalSpec = VerticalSpecOf(result.seriesA, result.seriesB);
    return result;
}

} // namespace fundlens
