#include "portal/rank_record.h"

#include "text/json_document.h"

namespace fundlens {

namespace {

// Which record field each column shows, and whether it is a percent cell.
struct ColumnSource {
    std::size_t field;
    bool percent;
};

constexpr std::array<ColumnSource, FundListColumns> Columns{{
    {1, false},  // 基金名称
    {0, false},  // 基金代码
    {15, false}, // 日期
    {16, false}, // 净值
    {17, true},  // 日增长率
    {5, true},   // 近1周
    {6, true},   // 近1月
    {7, true},   // 近3月
    {8, true},   // 近6月
    {4, true},   // 今年来
    {9, true},   // 近一年
    {10, true},  // 近2年
    {11, true},  // 近3年
}};

} // namespace

RankPage CutRankPage(const Text& answer) {
    RankPage page;
    JsonDocument document;
    if (!document.Parse(TextAfterLast(Utf8ToText(answer), "var rankData =")))
        return page;
    page.readable = document.TypeOf("datas") == JsonDocument::Array;
    page.allPages = TextToNumber(document.GetText("allPages"));
    // Only an array holds records (an object's members are looked up one by one: quadratic).
    const int count = page.readable ? document.Count("datas") : 0;
    for (int i = 0; i < count; ++i)
        page.records.push_back(document.GetText("datas[" + NumberToText(i) + "]"));
    return page;
}

FundRankRecord::FundRankRecord(const Text& record) : fields(SplitText(record, ",")) {}

const Text& FundRankRecord::Field(std::size_t i) const {
    static const Text empty;
    return i < fields.size() ? fields[i] : empty;
}

std::array<Text, FundListColumns> FundRankRecord::ListCells() const {
    std::array<Text, FundListColumns> cells;
    for (std::size_t column = 0; column < Columns.size(); ++column) {
        const Text& value = Field(Columns[column].field);
        if (!Columns[column].percent)
            cells[column] = value;
        else
            cells[column] = value.empty() ? Text("-") : value + "%";
    }
    return cells;
}

FundListRow ListRowOf(const FundRankRecord& record) {
    const std::array<Text, FundListColumns> cells = record.ListCells();
    FundListRow row;
    for (std::size_t column = 0; column < cells.size(); ++column) {
        row[column].text = cells[column];
        if (Columns[column].percent)
            row[column].color = ReturnCellColor(cells[column]);
    }
    return row;
}

} // namespace fundlens
