#include "watchlist/watchlist_rows.h"

#include "analysis/estimate_error.h"
#include "analysis/finite.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace fundlens {

namespace {

using Col = WatchlistColumn;

constexpr int MoneyDecimals = 2;
constexpr int ShareDecimals = 2;
constexpr int ErrorDecimals = 2;
constexpr const char* NoFigure = "--";
// A confirmed change within this of the recorded one is recorded already.
constexpr double SameChange = 1e-9;
constexpr double AllAssetsPct = 100;

Figure& CellOf(WatchlistRow& row, Col column) {
    return row.cells[static_cast<std::size_t>(column)];
}

Text& TipOf(WatchlistRow& row, Col column) {
    return row.tips[static_cast<std::size_t>(column)];
}

Figure Plain(Text text) {
    return {std::move(text), std::nullopt};
}

// A figure coloured by its sign as shown.
Figure Signed(Text text) {
    if (!FigureNumber(text))
        return Plain(std::move(text));
    const Rgb color = SignColorOf(text);
    return {std::move(text), color};
}

Text MoneyText(std::optional<double> value) {
    return value ? FixedText(*value, MoneyDecimals) : Text(NoFigure);
}

Text RateText(std::optional<double> rate) {
    return PercentText(rate ? Finite(*rate * 100) : std::nullopt);
}

// The page's text when it is a number, else "--".
Text NumberOrNothing(const Text& text) {
    return FigureNumber(text) ? text : Text(NoFigure);
}

// The fund's record of `date` that holds an estimate; of two, the later in the list.
std::optional<EstimateRecord> RecordedEstimate(const std::vector<EstimateRecord>& records,
                                               const Text& date) {
    std::optional<EstimateRecord> found;
    for (const EstimateRecord& record : records) {
        if (record.tradeDate == date && record.estimatePct && record.coveredPct)
            found = record;
    }
    return found;
}

Text UnknownFundText() {
    return "门户上没有这只基金"_gbk;
}

// Why the row shows no estimate.
Text MissingEstimateReason(const FundSnapshot& fund, const RowFigures& figures) {
    if (fund.unknownFund)
        return UnknownFundText();
    if (!fund.holdings)
        return "持仓数据未能获取，无法估算"_gbk;
    if (figures.estimate.gap == EstimateGap::NoStockHoldings)
        return EstimateGapText(EstimateGap::NoStockHoldings);
    if (!fund.quotesReceived)
        return "行情未能获取，无法估算"_gbk;
    return EstimateGapText(EstimateGap::NoQuotes);
}

Text WorkingsTip(const FundSnapshot& fund, const HoldingsEstimate& estimate) {
    Text tip = "估算涨幅 = Σ(权重 × 涨跌幅) ÷ Σ权重，按最近一期前十大持仓\n覆盖 "_gbk +
               PercentText(estimate.coveredPct) + "："_gbk + NumberToText(estimate.stocksUsed) +
               " 只股票"_gbk;
    if (estimate.suspended > 0)
        tip += "，其中停牌 "_gbk + NumberToText(estimate.suspended) + " 只按 0 计"_gbk;
    if (estimate.missing > 0)
        tip += "；"_gbk + NumberToText(estimate.missing) + " 只无行情，未计入"_gbk;
    tip += "\n持仓报告期 "_gbk + (fund.holdings ? fund.holdings->reportDate : Text());
    tip += "\n行情时间 "_gbk + fund.quoteTime;
    return tip;
}

Text RecordedTip(const RowFigures& figures, const Text& confirmedChange) {
    const EstimateRecord& day = *figures.recordedDay;
    Text tip = "收盘前最后一次估算（"_gbk + day.tradeDate + "）："_gbk +
               PercentText(day.estimatePct) + "，覆盖 "_gbk + PercentText(day.coveredPct);
    if (figures.errorPct)
        tip += "\n确认涨幅 "_gbk + confirmedChange + "，误差 "_gbk +
               FixedText(*figures.errorPct, ErrorDecimals) + " 个百分点"_gbk;
    return tip;
}

Text EstimateTip(const FundSnapshot& fund, const RowFigures& figures) {
    if (!figures.shownPct)
        return MissingEstimateReason(fund, figures);
    if (figures.recordedDay)
        return RecordedTip(figures, fund.page ? fund.page->dailyChange : Text());
    return WorkingsTip(fund, figures.estimate);
}

Text StatusText(const FundSnapshot& fund, const RowFigures& figures) {
    if (fund.unknownFund)
        return UnknownFundText();
    if (figures.phase == FundPhase::Confirmed) {
        Text status = PhaseCaption(FundPhase::Confirmed);
        if (figures.errorPct)
            status += " (误差 "_gbk + FixedText(*figures.errorPct, ErrorDecimals) + ")";
        return status;
    }
    if (!figures.shownPct)
        return MissingEstimateReason(fund, figures);
    Text status = PhaseCaption(figures.phase);
    if (figures.medianErrorPct)
        status += " (中位误差 "_gbk + FixedText(*figures.medianErrorPct, ErrorDecimals) + ")";
    return status;
}

Text MedianTip(const RowFigures& figures) {
    if (!figures.medianErrorPct)
        return "估算误差的中位数在记满 "_gbk + NumberToText(MinEstimateErrorDays) +
               " 个交易日后显示"_gbk;
    return "近 "_gbk + NumberToText(EstimateErrorDays) +
           " 个交易日估算误差（|估算 - 确认|）的中位数："_gbk +
           FixedText(*figures.medianErrorPct, ErrorDecimals) + " 个百分点"_gbk;
}

void FillPosition(WatchlistRow& row, const Position& position, const PositionFigures& value) {
    CellOf(row, Col::Shares) = Plain(FixedText(position.shares, ShareDecimals));
    CellOf(row, Col::Cost) = Plain(FixedText(value.cost, MoneyDecimals));
    CellOf(row, Col::MarketValue) = Plain(MoneyText(value.marketValue));
    CellOf(row, Col::TodayGain) = Signed(MoneyText(value.todayGain));
    CellOf(row, Col::HoldingGain) = Signed(MoneyText(value.holdingGain));
    CellOf(row, Col::ReturnRate) = Signed(RateText(value.returnRate));
}

// Every figure grey, every tooltip saying since when it is what it is.
void Grey(WatchlistRow& row, const Text& since) {
    row.stale = true;
    for (int column = 0; column < WatchlistColumnCount; ++column) {
        Figure& cell = row.cells[static_cast<std::size_t>(column)];
        cell = Greyed(cell);
        Text& tip = row.tips[static_cast<std::size_t>(column)];
        tip = tip.empty() ? since : since + "\n" + tip;
    }
}

} // namespace

RowFigures FiguresOf(const FundSnapshot& fund, const ChinaTime& now) {
    RowFigures figures;
    const Text navDate = fund.page ? fund.page->date : Text();
    figures.phase = PhaseOf(now, navDate);
    if (fund.holdings)
        figures.estimate = EstimateFromHoldings(*fund.holdings, fund.changes);
    figures.medianErrorPct = MedianAbsoluteError(fund.records);
    const std::optional<double> lastNav =
        fund.page ? FigureNumber(fund.page->netValue) : std::nullopt;
    figures.shownPct = figures.estimate.estimatePct;
    if (figures.shownPct)
        figures.shownCovered = figures.estimate.coveredPct;
    if (figures.phase != FundPhase::Confirmed) {
        const NavToday today = figures.shownPct ? EstimatedNavToday(lastNav, figures.shownPct)
                                                : NavToday{lastNav, lastNav, std::nullopt};
        figures.value = ValuePosition(fund.position, today);
        return figures;
    }
    const std::optional<double> change =
        fund.page ? FigureNumber(fund.page->dailyChange) : std::nullopt;
    figures.value = ValuePosition(fund.position, ConfirmedNavToday(lastNav, change));
    if (!fund.page)
        return figures;
    figures.recordedDay = RecordedEstimate(fund.records, navDate);
    if (figures.recordedDay) {
        figures.shownPct = figures.recordedDay->estimatePct;
        figures.shownCovered = figures.recordedDay->coveredPct;
        if (change)
            figures.errorPct = Finite(std::fabs(*figures.shownPct - *change));
    }
    return figures;
}

WatchlistRow RowOf(const FundSnapshot& fund, const RowFigures& figures) {
    WatchlistRow row;
    row.code = fund.code;
    CellOf(row, Col::Name) = Plain(fund.name);
    CellOf(row, Col::Code) = Plain(fund.code);
    const MainPageFigures page = fund.page.value_or(MainPageFigures{});
    CellOf(row, Col::NavDate) = Plain(page.date.empty() ? Text(NoFigure) : page.date);
    CellOf(row, Col::Nav) = Plain(NumberOrNothing(page.netValue));
    CellOf(row, Col::DayChange) = Signed(NumberOrNothing(page.dailyChange));
    CellOf(row, Col::Estimate) = Signed(PercentText(figures.shownPct));
    TipOf(row, Col::Estimate) = EstimateTip(fund, figures);
    CellOf(row, Col::EstimateStatus) = Plain(StatusText(fund, figures));
    TipOf(row, Col::EstimateStatus) = MedianTip(figures);
    CellOf(row, Col::Covered) = Plain(PercentText(figures.shownCovered));
    FillPosition(row, fund.position, figures.value);
    if (fund.Stale())
        Grey(row, fund.updated.empty() ? "尚未成功更新"_gbk : "上次更新 "_gbk + fund.updated);
    return row;
}

WatchlistRow TotalsRow(const std::vector<PositionFigures>& values, bool stale) {
    const PositionTotals totals = TotalOf(values);
    WatchlistRow row;
    CellOf(row, Col::Name) = Plain("合计"_gbk);
    CellOf(row, Col::Cost) = Plain(FixedText(totals.cost, MoneyDecimals));
    CellOf(row, Col::MarketValue) = Plain(MoneyText(totals.marketValue));
    CellOf(row, Col::TodayGain) = Signed(MoneyText(totals.todayGain));
    CellOf(row, Col::HoldingGain) = Signed(MoneyText(totals.holdingGain));
    CellOf(row, Col::ReturnRate) = Signed(RateText(totals.returnRate));
    if (stale)
        Grey(row, "含未能更新的基金，数字不是最新的"_gbk);
    return row;
}

std::vector<EstimateRecord> RecordsToMake(const FundSnapshot& fund, const RowFigures& figures,
                                          const ChinaTime& now) {
    std::vector<EstimateRecord> records;
    const HoldingsEstimate& estimate = figures.estimate;
    if (figures.phase == FundPhase::Estimate && estimate.estimatePct && fund.quotesReceived &&
        !fund.quotesStale && !fund.holdingsStale && estimate.coveredPct <= AllAssetsPct)
        records.push_back(
            {fund.code, TradeDateOf(now), estimate.estimatePct, estimate.coveredPct, {}});
    if (!fund.page || fund.pageStale || !HasNetValue(*fund.page))
        return records;
    const std::optional<double> change = FigureNumber(fund.page->dailyChange);
    const std::optional<EstimateRecord> day = RecordedEstimate(fund.records, fund.page->date);
    if (change && day &&
        (!day->confirmedPct || std::fabs(*day->confirmedPct - *change) > SameChange))
        records.push_back({fund.code, fund.page->date, {}, {}, change});
    return records;
}

WatchlistView ViewOf(const std::vector<FundSnapshot>& funds, const ChinaTime& now) {
    WatchlistView view;
    std::vector<PositionFigures> values;
    bool stale = false;
    for (const FundSnapshot& fund : funds) {
        const RowFigures figures = FiguresOf(fund, now);
        view.funds.push_back(RowOf(fund, figures));
        values.push_back(figures.value);
        stale = stale || fund.Stale();
    }
    view.totals = TotalsRow(values, stale);
    return view;
}

Text ClockText(const ChinaTime& now, std::chrono::system_clock::time_point wall) {
    using namespace std::chrono;
    int second = 0;
    if (ChinaTimeOf(wall) == now)
        second = static_cast<int>(floor<seconds>(wall.time_since_epoch()).count() % 60);
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", now.minute / 60, now.minute % 60, second);
    return text;
}

Text ClockTextNow() {
    return ClockText(CurrentChinaTime(), std::chrono::system_clock::now());
}

Text PercentText(std::optional<double> percent) {
    percent = Finite(percent);
    return percent ? FixedText(*percent, 2) + "%" : Text(NoFigure);
}

} // namespace fundlens
