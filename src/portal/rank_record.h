// The portal's ranking answers: one page of records, and how a record fills the fund list.
#pragma once

#include "portal/figures.h"
#include "text/text.h"

#include <array>
#include <vector>

namespace fundlens {

// One page of the ranking endpoint: "var rankData = {allPages: .., datas: ["rec", ...]}".
struct RankPage {
    double allPages = 0;       // as the answer gives it; 0 when missing or not a number
    std::vector<Text> records; // the "datas" texts, FundRankRecord each
    bool readable = false;     // the answer parsed and holds a "datas" array
};

// Cuts a ranking answer (UTF-8 bytes as received). A failed fetch or a broken answer gives an
// empty, unreadable page.
RankPage CutRankPage(const Text& answer);

inline constexpr int FundListColumns = 13;
inline constexpr int FirstPercentColumn = 4;

// The fund list's column headers (UTF-8), column 0 first; the eleventh reads "近一年" with the
// character 一 where the others use digits.
inline constexpr std::array<const char*, FundListColumns> FundListCaptions{
    "基金名称", "基金代码", "日期",   "净值",   "日增长率", "近1周", "近1月",
    "近3月",    "近6月",    "今年来", "近一年", "近2年",    "近3年"};

// One comma-separated ranking record of the portal: field 0 code, 1 name, 4 since new year,
// 5..11 one week to three years, 15 date, 16 unit net value, 17 daily growth.
struct FundRankRecord {
    std::vector<Text> fields;

    explicit FundRankRecord(const Text& record);

    // Field i, or an empty text when the record is too short.
    const Text& Field(std::size_t i) const;

    // The 13 cell texts of the fund list, column 0 first. Percent cells show the field and "%",
    // or "-" when the field is empty or missing.
    std::array<Text, FundListColumns> ListCells() const;
};

// A row of the fund list as shown: 13 figures, column 0 first.
using FundListRow = std::array<Figure, FundListColumns>;

// The row a record fills: its list cells, the return columns coloured by ReturnCellColor.
FundListRow ListRowOf(const FundRankRecord& record);

} // namespace fundlens
