// The portal's data endpoints: search suggestions, ratings, holdings, live quotes and the
// cumulative-return comparison. Answers are UTF-8 JSONP or script texts.
#pragma once

#include "demo-portal/answer.h"
#include "demo-portal/universe.h"

#include <string>
#include <vector>

namespace fundlens::demo {

inline constexpr int MaxSuggestions = 10;
inline constexpr int MaxComparePoints = 200;

// Compare periods ("c=") in the order of the chart window's buttons.
inline constexpr std::array<std::string_view, 7> ComparePeriods{
    "week", "month", "threemonth", "sixmonth", "year", "twoyear", "threeyear",
};

class DataAnswers {
public:
    explicit DataAnswers(const Universe& universe) : m_universe(universe) {}

    // The search term of a typed key: the key without blanks at either end.
    static std::string SearchTerm(std::string_view key);
    // True when the search answer for this key carries "Datas" as its first member, with the
    // status members after it: keys of a single character (a digit, a letter, a Chinese
    // character), the broadest queries.
    static bool DatasFirst(std::string_view key);

    // Funds whose code starts with the search term, whose pinyin initials or syllables start
    // with it (case ignored), or whose name contains it; best matches first, at most
    // MaxSuggestions.
    std::vector<int> MatchFunds(std::string_view key) const;

    std::string Search(const Query& query) const;
    std::string Rating(const Query& query, bool refererSent) const;
    std::string Holdings(const Query& query, const std::string& host) const;
    // The quotes `sessionMinute` trading minutes into the session (Universe::QuoteAt).
    std::string Quotes(const Query& query, int sessionMinute) const;
    // Cumulative returns of the funds in "bzdm" for period "c": one record per point with the
    // date and one member per known code, in the caller's order. The data member is empty for
    // an unknown period or when no code is known.
    std::string Compare(const Query& query, bool refererSent) const;

    // Trading-day indexes of a compare period's points, oldest first (one per trading day,
    // or one per week when the period holds more than MaxComparePoints days); empty for an
    // unknown period.
    std::vector<int> ComparePoints(std::string_view period) const;

private:
    std::string QuarterBox(const Fund& fund, int quarterEnd, const std::vector<Holding>& holdings,
                           int topLine, bool latest, const std::string& host) const;

    const Universe& m_universe;
};

} // namespace fundlens::demo
