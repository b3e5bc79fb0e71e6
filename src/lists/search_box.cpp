#include "lists/search_box.h"

#include "portal/search.h"
#include "runs/runs.h"
#include "shell/main_view.h"
#include "shell/program_state.h"
#include "shell/windows.h"
#include "web/web_request.h"

#include <vector>

namespace fundlens {

namespace {

std::vector<Suggestion> FetchSuggestions(const Text& url, const Cancellation& cancel) {
    return CutSuggestions(WebRequest(url, &cancel));
}

} // namespace

void SearchBoxFocused() {
    EditBox box = MainWindow().EditNamed(SearchBoxName);
    box.SetContent({}); // a content change: the list empties and hides
    box.SetTextColor(RgbBlack);
}

Loader LoadSuggestions(Text content) {
    std::vector<Suggestion>& lines = State().Views.suggestions;
    lines.clear();
    ShowSuggestionLines();
    if (content.empty()) {
        EndRuns(RunEvent::SearchEmptied); // a search still in flight writes nothing
        ShowSuggestionList(false);
        co_return;
    }
    const RunToken run = StartRun(RunName::Suggestions, MainWindow().widget());
    Pending<std::vector<Suggestion>> answer =
        OnPool(run, [url = SuggestionUrl(SearchKey(content))](const Cancellation& cancel) {
            return FetchSuggestions(url, cancel);
        });
    std::vector<Suggestion> found = co_await answer;
    State().Views.suggestions = std::move(found);
    ShowSuggestionLines();
    ShowSuggestionList(true);
    run.Finish();
}

} // namespace fundlens
