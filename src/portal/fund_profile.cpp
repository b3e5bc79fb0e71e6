#include "portal/fund_profile.h"

#include "portal/figures.h"
#include "portal/profile.h"
#include "text/regex_matcher.h"

namespace fundlens {

namespace {

// The manager-history table's header and its first row: the current team.
const Text& CurrentTeamPattern() {
    static const Text pattern = "<th>任职期间</th><th>任职回报</th></tr></thead><tbody><tr><td>"
                                ".*?</a> </td><td>.*?</td></tr>"_gbk;
    return pattern;
}

// "name" or "first</a>&nbsp;&nbsp;<a href='...html'>...last": the first and the last name.
Text ManagerNames(const Text& namesCell) {
    if (FindText(namesCell, "</a>") == Text::npos)
        return namesCell;
    return TextBeforeFirst(namesCell, "</a>") + "，"_gbk + TextAfterLast(namesCell, "html'>");
}

} // namespace

Text ProfilePageUrl(const Text& code) {
    return PortalUrl(PortalHost::F10, "jbgk_" + code + ".html ");
}

Text ManagerPageUrl(const Text& code) {
    return PortalUrl(PortalHost::F10, "jjjl_" + code + ".html");
}

Text CutProfile(const Text& page) {
    return TextBetween(page, "<tr><th>资产规模</th><td>"_gbk, "<th>份额规模</th><td>"_gbk);
}

ManagerInfo CutManager(const Text& page) {
    RegexMatcher matcher;
    Text row;
    if (matcher.Create(CurrentTeamPattern(), page))
        row = matcher.MatchText(1);

    ManagerInfo info;
    info.managers = ManagerNames(TextBetween(row, "html'>", "</a> </td><td>"));
    const Text returnCell = TextBetween(row, "<td class=\"tor  ", "</td></tr>");
    info.tenureColor = TenureColor(returnCell);
    const Text tenure = TextBetween(row, "</a> </td><td>", "</td><td class=\"tor");
    info.tenure = TextAfterLast(returnCell, "\">") + "（任期："_gbk + tenure + "）"_gbk;
    return info;
}

} // namespace fundlens
