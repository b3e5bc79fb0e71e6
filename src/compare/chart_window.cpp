#include "compare/chart_window.h"

#include "chart/periods.h"
#include "compare/comparison_loader.h"
#include "portal/net_value_page.h"
#include "runs/runs.h"
#include "shell/messages.h"
#include "shell/program_state.h"
#include "shell/windows.h"
#include "web/web_request.h"

#include <QCoreApplication>
#include <QDialog>
#include <array>

namespace fundlens {

namespace {

// The picture boxes, top to bottom.
constexpr std::array<const char*, 2> PictureBoxes{CurrentImageName, CompareImageName};

// The fund's net-value page, the image it names, and the image's bytes (empty when any step
// fails).
Bytes FetchNetValueImage(const Text& code, const Cancellation& cancel) {
    const Text page = WebRequest(NetValuePageUrl(code), &cancel);
    const Text imageUrl = NetValueImageUrl(CutNetValueImageSource(page));
    return imageUrl.empty() ? Bytes() : WebRequestBytes(imageUrl, &cancel);
}

// The funds whose images are shown, top to bottom: the current fund, then the compare fund.
std::vector<Text> ImageCodes(const ProgramState& state) {
    std::vector<Text> codes;
    for (const Text* code : {&state.CurrentFundCode, &state.CompareFundCode}) {
        if (!code->empty()) {
            codes.push_back(*code);
        }
    }
    return codes;
}

Text JoinCodes(const std::vector<Text>& codes) {
    Text joined;
    for (const Text& code : codes) {
        joined += (joined.empty() ? "" : ",") + code;
    }
    return joined;
}

// The window's loads end when it closes; its chart state goes with it.
void TieToWindow(QDialog* dialog) {
    QObject::connect(dialog, &QDialog::finished, dialog, [] { EndRuns(RunEvent::ChartClosed); });
    QObject::connect(dialog, &QObject::destroyed, QCoreApplication::instance(), [] {
        if (!ChartWindow().Exists()) { // a newer chart window owns the state
            State().ChartState = ChartState{};
            State().Views.chart = ChartView{};
        }
    });
}

} // namespace

void OpenChartWindow() {
    const ProgramState& state = State();
    if (state.CurrentFundCode.empty() && state.CompareFundCode.empty()) {
        ShowMessage("请选择要查看的基金"_gbk, MessageButtons::Ok, MessageIcon::None);
        return;
    }
    OpenChartWindowModal();
}

void ChartWindowCreated() {
    State().ChartState = ChartState{};
    State().Views.chart = ChartView{};
    if (auto* dialog = qobject_cast<QDialog*>(ChartWindow().widget())) {
        TieToWindow(dialog);
    }
    LoadNetValueImages();
}

bool ChartLoadsRunning() {
    return IsRunning(RunName::NetValueImages) || IsRunning(RunName::Comparison);
}

Loader LoadNetValueImages() {
    QWidget* window = ChartWindow().widget();
    const std::vector<Text> codes = ImageCodes(State());
    if (!codes.empty()) {
        State().CompareCodes = JoinCodes(codes);
    }
    // The month chart is asked for at once and drawn after the images: a period button
    // pressed meanwhile overtakes it.
    const ComparedFunds funds = FundsInComparison();
    const RunToken month = StartRun(RunName::Comparison, window);
    Pending<Comparison> monthAnswer = FetchComparison(month, funds, OpeningPeriodKey);

    const RunToken run = StartRun(RunName::NetValueImages, window);
    std::vector<std::function<Bytes(const Cancellation&)>> jobs;
    for (const Text& code : codes) {
        jobs.push_back(
            [code](const Cancellation& cancel) { return FetchNetValueImage(code, cancel); });
    }
    std::vector<Pending<Bytes>> images =
        OnPoolInOrder(run, std::move(jobs), static_cast<int>(PictureBoxes.size()));
    std::size_t box = 0;
    for (Pending<Bytes>& image : images) {
        const Bytes bytes = co_await image;
        ChartWindow().PictureNamed(PictureBoxes[box++]).ShowImage(bytes);
    }
    run.Finish();

    const Comparison comparison = co_await monthAnswer;
    ShowComparison(month, comparison, funds);
}

} // namespace fundlens
