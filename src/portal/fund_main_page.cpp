#include "portal/fund_main_page.h"

#include "portal/figures.h"
#include "portal/profile.h"
#include "text/regex_matcher.h"

namespace fundlens {

namespace {

// The fund's own returns: one "bold" cell per period.
constexpr const char* ReturnPattern = "bold\">.*?</div>";
constexpr const char* ReturnStart = "bold\">";
constexpr const char* ReturnEnd = "</div>";

// The date, net value and daily change inside the net-value block.
constexpr const char* DateEnd = ")</p></dt><dd class";
constexpr const char* NetValueStart = "ui-num\">";
constexpr const char* SpanBoundary = "</span><span class=";
constexpr const char* AttributeEnd = "\">";

// The period-returns row ("阶段涨幅") up to the category-average row ("同类平均").
// The title block: the name, then the code in brackets.
constexpr const char* NameStart = "<div class=\"fundDetail-tit\"><div style=\"float: left\">";
constexpr const char* NameEnd = "<span>(</span>";

const Text& ReturnsRowStart() {
    static const Text marker =
        "<div class=\"typeName\">阶段涨幅</div></td><td>  <div class=\"Rdata ui-color"_gbk;
    return marker;
}

const Text& ReturnsRowEnd() {
    static const Text marker =
        "</td> </tr><tr><td>  <div class=\"typeName\">同类平均<div class="_gbk;
    return marker;
}

const Text& NetValueBlockStart() {
    static const Text marker = "单位净值</a></span> (</span>"_gbk;
    return marker;
}

const Text& NetValueBlockEnd() {
    static const Text marker = "</span></dd><dd><span>近3月"_gbk;
    return marker;
}

std::array<Text, PeriodReturnCount> CutReturns(const Text& row) {
    std::array<Text, PeriodReturnCount> returns;
    RegexMatcher matcher;
    if (!matcher.Create(ReturnPattern, row))
        return returns;
    for (int k = 1; k <= PeriodReturnCount; ++k)
        returns[static_cast<std::size_t>(k - 1)] =
            MultiReplace(matcher.MatchText(k), {{ReturnStart, ""}, {ReturnEnd, ""}});
    return returns;
}

Text WithoutEntities(const Text& html) {
    return MultiReplace(html, {{"&lt;", "<"},
                               {"&gt;", ">"},
                               {"&quot;", "\""},
                               {"&#39;", "'"},
                               {"&nbsp;", " "},
                               {"&amp;", "&"}});
}

} // namespace

Text MainPageUrl(const Text& code) {
    return PortalUrl(PortalHost::Fund, "/" + code + ".html?spm=search ");
}

MainPageFigures CutMainPage(const Text& page) {
    MainPageFigures figures;
    const Text block = TextBetween(page, NetValueBlockStart(), NetValueBlockEnd());
    figures.date = TextBeforeFirst(block, DateEnd);
    figures.netValue = TextBetween(block, NetValueStart, SpanBoundary);
    figures.dailyChange = TextAfterLast(TextAfterLast(block, SpanBoundary), AttributeEnd);
    figures.returns = CutReturns(TextBetween(page, ReturnsRowStart(), ReturnsRowEnd()));
    return figures;
}

Text CutMainPageName(const Text& page) {
    return TrimBlanks(WithoutEntities(TextBetween(page, NameStart, NameEnd)), " \t\r\n");
}

bool HasNetValue(const MainPageFigures& figures) {
    return !figures.date.empty() && FigureNumber(figures.netValue).has_value();
}

} // namespace fundlens
