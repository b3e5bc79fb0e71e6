#include "lists/search_box.h"

#include "portal/search.h"
#include "shell/controls.h"
#include "shell/windows.h"
#include "web/web_request.h"

#include <vector>

namespace fundlens {

namespace {

RunKind& SuggestionSearches() {
    static RunKind kind;
    return kind;
}

std::vector<Suggestion> FetchSuggestions(const Text& url, const Cancellation& cancel) {
    return CutSuggestions(WebRequest(url, &cancel));
}

} // namespace

void SearchBoxFocused() {
    EditBox box = MainWindow().EditNamed("搜索框");
    box.SetContent({}); // a content change: the list empties and hides
    box.SetTextColor(RgbBlack);
}

Loader LoadSuggestions() {
    ListView list = MainWindow().ListNamed("超级列表框1");
    list.Clear();
    const Text content = MainWindow().EditNamed("搜索框").Content();
    if (content.empty()) {
        SuggestionSearches().Stop(); // a search still in flight writes nothing
        list.SetVisible(false);
        co_return;
    }
    const RunToken run = SuggestionSearches().Start(MainWindow().widget());
    Pending<std::vector<Suggestion>> answer =
        OnPool(run, [url = SuggestionUrl(SearchKey(content))](const Cancellation& cancel) {
            return FetchSuggestions(url, cancel);
        });
    const std::vector<Suggestion> suggestions = co_await answer;
    for (const Suggestion& suggestion : suggestions)
        list.AddItem({suggestion.name, suggestion.code});
    list.SetHeight(SuggestionListHeight(static_cast<int>(suggestions.size())));
    list.SetVisible(true);
    run.Finish();
}

} // namespace fundlens
