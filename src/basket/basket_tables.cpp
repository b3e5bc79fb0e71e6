#include "basket/basket_tables.h"

#include "analysis/correlation.h"

#include <cmath>
#include <cstdio>

namespace fundlens {

namespace {

constexpr const char* Absent = "--";

// The risk table's columns after the fund's.
enum RiskColumn {
    FundColumn,
    IntervalColumn,
    AnnualColumn,
    VolatilityColumn,
    DrawdownColumn,
    PeakColumn,
    TroughColumn,
    RecoveryColumn,
    SharpeColumn,
    SortinoColumn,
    CalmarColumn,
    RiskColumns
};

Text RiskHeader(int column, double riskFreePct) {
    static const char* const headers[RiskColumns] = {
        "",         "区间收益", "年化收益", "年化波动",   "最大回撤", "回撤开始",
        "回撤谷底", "修复日期", "夏普比率", "索提诺比率", "卡玛比率"};
    if (column == FundColumn)
        return "基金（无风险利率"_gbk + NumberToText(riskFreePct) + "%）"_gbk;
    return Utf8ToText(headers[column]);
}

Text NameOf(const BasketFundData& fund) {
    return fund.name.empty() ? fund.code : fund.name;
}

Figure Plain(const Text& text) {
    return Figure{text, std::nullopt};
}

Figure Percent(const std::optional<double>& fraction, int decimals) {
    return Plain(fraction ? FixedText(*fraction * 100, decimals) + "%" : Text(Absent));
}

// A return or a ratio: coloured by its sign.
Figure Signed(const std::optional<double>& value, int decimals, bool percent) {
    if (!value)
        return Plain(Absent);
    const Text text =
        percent ? FixedText(*value * 100, decimals) + "%" : FixedText(*value, decimals);
    return Figure{text, SignColor(*value)};
}

Figure DateFigure(const std::optional<MaxDrawdown>& drawdown, const Text MaxDrawdown::*date) {
    if (!drawdown || !(drawdown->depth > 0))
        return Plain(Absent);
    return Plain((*drawdown).*date);
}

Figure RecoveryFigure(const std::optional<MaxDrawdown>& drawdown) {
    if (!drawdown || !(drawdown->depth > 0))
        return Plain(Absent);
    return Plain(RecoveryText(*drawdown));
}

std::vector<Figure> RiskRow(const BasketFundData& fund, const RiskFigures& r, int decimals) {
    std::vector<Figure> row(RiskColumns, Plain(Text()));
    row[FundColumn] = Figure{NameOf(fund), fund.color};
    if (fund.curveState == Fetched::Pending)
        return row;
    const auto depth = r.maxDrawdown ? std::optional<double>(r.maxDrawdown->depth) : std::nullopt;
    row[IntervalColumn] = Signed(r.intervalReturn, decimals, true);
    row[AnnualColumn] = Signed(r.annualReturn, decimals, true);
    row[VolatilityColumn] = Percent(r.annualVolatility, decimals);
    row[DrawdownColumn] = Percent(depth, decimals);
    row[PeakColumn] = DateFigure(r.maxDrawdown, &MaxDrawdown::peakDate);
    row[TroughColumn] = DateFigure(r.maxDrawdown, &MaxDrawdown::troughDate);
    row[RecoveryColumn] = RecoveryFigure(r.maxDrawdown);
    row[SharpeColumn] = Signed(r.sharpe, decimals, false);
    row[SortinoColumn] = Signed(r.sortino, decimals, false);
    row[CalmarColumn] = Signed(r.calmar, decimals, false);
    return row;
}

// A matrix table's frame: `corner` and the codes across, the codes down, the names as the
// codes' tooltips; the cells empty.
FigureTable MatrixFrame(const BasketTables& tables, const Text& corner) {
    const std::size_t size = tables.funds.size() + 1;
    FigureTable table;
    table.cells.assign(size, std::vector<Figure>(size));
    table.tips.assign(size, std::vector<Text>(size));
    table.cells[0][0] = Plain(corner);
    for (std::size_t f = 1; f < size; ++f) {
        const BasketFundData& fund = tables.funds[f - 1];
        table.cells[0][f] = table.cells[f][0] = Figure{fund.code, fund.color};
        table.tips[0][f] = table.tips[f][0] = NameOf(fund);
    }
    return table;
}

// The cell of a pair: empty while either fund's answer is on its way, "--" when either failed
// or the figure cannot be formed.
template <class Value, class Format>
Figure PairFigure(Fetched a, Fetched b, const std::optional<Value>& value, Format format) {
    if (a == Fetched::Pending || b == Fetched::Pending)
        return Plain(Text());
    if (a == Fetched::Failed || b == Fetched::Failed || !value)
        return Plain(Absent);
    return Plain(format(*value));
}

Text WeightText(double pct) {
    return FixedText(pct, ShownDecimals) + "%";
}

// The tooltip of the pair (a, b): the common stocks with both weights, and a word when the two
// top tens are of different quarters.
Text OverlapTip(const BasketFundData& a, const BasketFundData& b, const HoldingsOverlap& o) {
    Text tip;
    if (o.common.empty()) {
        tip = NameOf(a) + " 与 "_gbk + NameOf(b) + " 的前十大持仓没有共同的股票"_gbk;
    } else {
        tip = NameOf(a) + " 与 "_gbk + NameOf(b) + " 共同持有 "_gbk + NumberToText(o.commonCount) +
              " 只股票（占净值比例）："_gbk;
        for (const CommonStock& stock : o.common) {
            tip += "\n" + stock.stockName + " " + stock.stockCode + "  " +
                   WeightText(stock.weightPctA) + " / " + WeightText(stock.weightPctB);
        }
    }
    if (o.reportDatesDiffer) {
        tip += "\n注意：两基金的持仓报告期不同（"_gbk + a.holdings.reportDate + " / " +
               b.holdings.reportDate + "）"_gbk;
    }
    return tip;
}

// The tooltip of a failed pair: whose holdings could not be fetched.
Text FailedTip(const BasketFundData& a, const BasketFundData& b) {
    const BasketFundData& failed = a.holdingsState == Fetched::Failed ? a : b;
    return NameOf(failed) + " 的持仓数据获取失败"_gbk;
}

} // namespace

BasketTables ComputeBasketTables(std::vector<BasketFundData> funds, double riskFreePct) {
    BasketTables tables;
    tables.riskFreePct = riskFreePct;
    std::vector<std::vector<SeriesPoint>> curves;
    std::vector<std::optional<TopHoldings>> holdings;
    for (BasketFundData& fund : funds) {
        const bool curve = fund.curveState == Fetched::Loaded;
        tables.risk.push_back(curve ? ComputeRiskFigures(fund.curve, riskFreePct) : RiskFigures{});
        // The tables need the points no more: they move on to the correlation.
        curves.push_back(curve ? std::move(fund.curve) : std::vector<SeriesPoint>{});
        fund.curve.clear();
        holdings.push_back(fund.holdingsState == Fetched::Loaded
                               ? std::optional<TopHoldings>(fund.holdings)
                               : std::nullopt);
    }
    tables.correlation = CorrelationMatrix(curves);
    tables.overlap = OverlapMatrix(holdings);
    tables.funds = std::move(funds);
    return tables;
}

FigureTable RiskTableOf(const BasketTables& tables, int decimals) {
    FigureTable table;
    std::vector<Figure> header;
    for (int column = 0; column < RiskColumns; ++column)
        header.push_back(Plain(RiskHeader(column, tables.riskFreePct)));
    table.cells.push_back(std::move(header));
    for (std::size_t f = 0; f < tables.funds.size(); ++f)
        table.cells.push_back(RiskRow(tables.funds[f], tables.risk[f], decimals));
    table.tips.assign(table.cells.size(), std::vector<Text>(RiskColumns));
    for (std::size_t f = 0; f < tables.funds.size(); ++f)
        table.tips[f + 1][FundColumn] = tables.funds[f].code;
    return table;
}

FigureTable CorrelationTableOf(const BasketTables& tables, int decimals) {
    FigureTable table = MatrixFrame(tables, "相关系数"_gbk);
    for (std::size_t i = 0; i < tables.funds.size(); ++i) {
        for (std::size_t j = 0; j < tables.funds.size(); ++j) {
            table.cells[i + 1][j + 1] = PairFigure(
                tables.funds[i].curveState, tables.funds[j].curveState, tables.correlation[i][j],
                [decimals](double r) { return FixedText(r, decimals); });
        }
    }
    return table;
}

FigureTable OverlapTableOf(const BasketTables& tables, int decimals) {
    FigureTable table = MatrixFrame(tables, "持仓重合度"_gbk);
    const auto format = [decimals](const HoldingsOverlap& o) {
        return FixedText(o.overlapPct, decimals) + "% (" + NumberToText(o.commonCount) + ")";
    };
    for (std::size_t i = 0; i < tables.funds.size(); ++i) {
        for (std::size_t j = 0; j < tables.funds.size(); ++j) {
            const BasketFundData& a = tables.funds[i];
            const BasketFundData& b = tables.funds[j];
            const std::optional<HoldingsOverlap>& overlap = tables.overlap[i][j];
            table.cells[i + 1][j + 1] =
                PairFigure(a.holdingsState, b.holdingsState, overlap, format);
            if (overlap)
                table.tips[i + 1][j + 1] = OverlapTip(a, b, *overlap);
            else if (a.holdingsState == Fetched::Failed || b.holdingsState == Fetched::Failed)
                table.tips[i + 1][j + 1] = FailedTip(a, b);
        }
    }
    return table;
}

std::vector<BasketFundData> BasketDataOf(const BasketView& view, bool withCurves) {
    std::vector<BasketFundData> data;
    for (const BasketFund& fund : view.funds) {
        BasketFundData d;
        d.code = fund.code;
        d.name = fund.name;
        d.color = BasketSeriesColors[static_cast<std::size_t>(fund.colorSlot) % MaxBasketFunds];
        if (const auto curve = view.curves.byCode.find(fund.code);
            curve != view.curves.byCode.end()) {
            d.curveState = curve->second.state;
            for (std::size_t k = 0;
                 withCurves && k < curve->second.values.size() && k < view.curves.dates.size(); ++k)
                d.curve.push_back({view.curves.dates[k], curve->second.values[k]});
        }
        if (const auto held = view.holdings.find(fund.code); held != view.holdings.end()) {
            d.holdingsState = held->second.state;
            d.holdings = held->second.top;
        }
        data.push_back(std::move(d));
    }
    return data;
}

} // namespace fundlens
