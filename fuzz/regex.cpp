// The regular-expression wrapper over portal text, with the patterns the program runs on pages.
#include "fuzz/fuzz_input.h"
#include "text/regex_matcher.h"

#include <vector>

namespace fundlens {
namespace {

// As written in src/portal (comparison, holdings, managers, main page, risk) and in
// src/web (the charset a page declares).
const std::vector<Text>& Patterns() {
    static const std::vector<Text> patterns{
        "{ \"date\": \".*?}",
        "<[^>]*>",
        "<td[^>]*>(.*?)</td>",
        "<td class='tor'>(-?[0-9]+(?:\\.[0-9]+)?%)</td>",
        "<tr>.*?</tr>",
        "<th>任职期间</th><th>任职回报</th></tr></thead><tbody><tr><td>"
        ".*?</a> </td><td>.*?</td></tr>"_gbk,
        "bold\">.*?</div>",
        "class='num'>.*?</td>",
        R"(<meta.+?charset=[^\w]?([-\w]+))",
    };
    return patterns;
}

void Match(const Text& subject) {
    for (const Text& pattern : Patterns()) {
        RegexMatcher matcher;
        if (!matcher.Create(pattern, subject))
            continue;
        int position = 0;
        for (int i = 1; i <= matcher.MatchCount(); ++i) {
            matcher.MatchText(i, &position);
            for (int group = 1; group <= matcher.SubMatchCount(); ++group)
                matcher.SubMatchText(i, group, &position);
        }
        matcher.Replace("[$1|$&]");
    }
}

} // namespace
} // namespace fundlens

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fundlens::Text answer = fundlens::fuzz::Answer(data, size);
    fundlens::Match(answer);
    fundlens::Match(fundlens::Utf8ToText(answer));
    return 0;
}
