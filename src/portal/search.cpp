#include "portal/search.h"

#include "portal/profile.h"
#include "text/json_document.h"

namespace fundlens {

namespace {

constexpr const char* SearchPath = "/FundSearch/api/FundSearchAPI.ashx";
constexpr const char* SearchTail = "&_=1628571587137";
// Where the unwrapped object text ends; the cut adds back the array's and object's closers.
constexpr const char* AnswerEnd = "]})";
constexpr const char* ObjectEnd = "]}";

} // namespace

Text SearchKey(const Text& content) {
    return UrlEncode(content, true, true);
}

Text SuggestionUrl(const Text& key) {
    return PortalUrl(PortalHost::Search, Text(SearchPath) + "?callback=" + SearchCallback +
                                             "&m=1&key=" + key + SearchTail);
}

std::vector<Suggestion> CutSuggestions(const Text& answer) {
    std::vector<Suggestion> suggestions;
    const Text object = TextBetween(Utf8ToText(answer), Text(SearchCallback) + "(", AnswerEnd);
    JsonDocument document;
    if (object.empty() || !document.Parse(object + ObjectEnd) ||
        document.TypeOf("Datas") != JsonDocument::Array)
        return suggestions;
    const int count = document.Count("Datas");
    for (int i = 0; i < count; ++i) {
        const Text index = NumberToText(i);
        suggestions.push_back({document.GetText("Datas[" + index + "]['_id']"),
                               document.GetText("Datas[" + index + "].NAME")});
    }
    return suggestions;
}

int SuggestionListHeight(int count) {
    return (count + 1) * SuggestionLineHeight;
}

} // namespace fundlens
