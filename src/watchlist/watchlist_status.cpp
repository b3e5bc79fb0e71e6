#include "watchlist/watchlist_status.h"

#include "analysis/dates.h"

namespace fundlens {

namespace {

constexpr Rgb TroubleColor = RgbRed;

Text Joined(const Text& a, const Text& b) {
    return a.empty() ? b : b.empty() ? a : a + " · "_gbk + b;
}

} // namespace

Text MarketPhaseText(const ChinaTime& now) {
    if (IsWeekend(now.day))
        return "休市"_gbk;
    if (IsSessionOpen(now))
        return "交易中"_gbk;
    if (now.minute < MorningOpen)
        return "未开盘"_gbk;
    return now.minute < AfternoonOpen ? "午间休市"_gbk : "已收盘"_gbk;
}

Figure WatchlistStatus(const StatusFacts& facts) {
    if (!facts.storeProblem.empty())
        return {facts.storeProblem, TroubleColor};
    if (facts.funds == 0 && !facts.refreshing)
        return {"还没有自选基金：在基金列表中右键选择“加入自选”"_gbk, std::nullopt};
    Text line = MarketPhaseText(facts.now);
    if (IsSessionOpen(facts.now))
        line += "，估算每 "_gbk + NumberToText(facts.refreshSeconds) + " 秒更新"_gbk;
    if (facts.refreshing)
        line = Joined(line, "正在刷新…"_gbk);
    else if (!facts.lastRefresh.empty())
        line = Joined(line, "更新于 "_gbk + facts.lastRefresh);
    if (facts.readOnly)
        line = Joined(line, "只读（数据文件来自更新版本的 fundlens）"_gbk);
    if (facts.staleFunds == 0)
        return {line, std::nullopt};
    line = Joined(line, NumberToText(facts.staleFunds) + " 只基金未能更新，灰色为上次的数据"_gbk);
    return {line, TroubleColor};
}

Text WatchlistStatusTip(const StatusFacts& facts) {
    return "刷新：各基金的净值、持仓和行情；交易时段内窗口显示时每 "_gbk +
           NumberToText(facts.refreshSeconds) +
           " 秒更新一次行情。\n估算 = 按最近一期前十大持仓的权重，对持仓股票当日涨跌幅加权平均。"_gbk;
}

} // namespace fundlens
