#include "detail/rating_and_risk.h"

#include "portal/fund_rating.h"
#include "portal/fund_risk.h"
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

void ShowRisk(const DetailColumn& column, const std::vector<RiskCell>& cells) {
    Grid grid = column.RiskGrid();
    for (const RiskCell& cell : cells) {
        grid.SetCellText(cell.row, cell.column, cell.text);
        if (cell.color)
            grid.SetCellColor(cell.row, cell.column, *cell.color);
    }
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
    if (stars) // a value that names no star count leaves the label as it is
        load->Column().RatingLabel().SetCaption(*stars);
    const std::vector<RiskCell> cells = co_await riskAnswer;
    ShowRisk(load->Column(), cells);
    load->LoaderDone();
}

void RiskGridMouseMoved(int grid, int, int) {
    const char* name = grid == 4 ? CompareColumn.risk : CurrentColumn.risk;
    MainWindow().ControlNamed(name).SetToolTip(RiskTooltipText());
}

} // namespace fundlens
