#include "detail/rating_and_risk.h"

#include "portal/fund_rating.h"
#include "portal/fund_risk.h"
#include "shell/main_view.h"
#include "shell/windows.h"
#include "web/web_request.h"

#include <optional>
#include <vector>

namespace fundlens {

namespace {

// The rating endpoint answers only a request that names the fund's rating page as referer.
std::optional<Text> FetchRating(const Text& url, const Text& headers, const Cancellation& cancel) {
    WebCall call;
    call.url = url;
    call.method = 0;
    call.extraHeaders = headers;
    call.cancel = &cancel;
    return CutRating(WebRequest(call));
}

// The cut figures over the column's risk figures: "--" keeps the colour a figure had.
void ShowRisk(const DetailLoad& load, const std::vector<RiskCell>& cells) {
    RiskTable& risk = load.Column().risk;
    for (const RiskCell& cell : cells) {
        Figure& figure =
            risk[static_cast<std::size_t>(cell.row - 1)][static_cast<std::size_t>(cell.column - 1)];
        figure.text = cell.text;
        if (cell.color)
            figure.color = cell.color;
    }
    ShowDetail(load.Side(), DetailPart::Risk);
}

} // namespace

Loader LoadRatingAndRisk(DetailLoadPtr load) {
    Pending<std::optional<Text>> ratingAnswer = OnPool(
        load->run, [url = RatingUrl(load->code), headers = RatingHeaders(load->code)](
                       const Cancellation& cancel) { return FetchRating(url, headers, cancel); });
    Pending<std::vector<RiskCell>> riskAnswer =
        OnPool(load->run, [url = RiskPageUrl(load->code)](const Cancellation& cancel) {
            return CutRisk(WebRequest(url, &cancel));
        });

    const std::optional<Text> stars = co_await ratingAnswer;
    if (stars) { // a value that names no star count leaves the label as it is
        load->Column().rating = *stars;
        ShowDetail(load->Side(), DetailPart::Rating);
    }
    const std::vector<RiskCell> cells = co_await riskAnswer;
    ShowRisk(*load, cells);
    load->LoaderDone();
}

void RiskGridMouseMoved(int grid, int, int) {
    const char* name = grid == 4 ? CompareColumnNames.risk : CurrentColumnNames.risk;
    MainWindow().ControlNamed(name).SetToolTip(RiskTooltipText());
}

} // namespace fundlens
