#include "basket/basket_tables.h"

namespace fundlens {

namespace {

constexpr const char* Utf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr const char* LineEnd = "\r\n";

// A CSV field: quoted when it holds a comma, a quote or a line break, quotes doubled.
std::string CsvField(const Text& gbk) {
    const std::string value = TextToUtf8(gbk);
    if (value.find_first_of(",\"\r\n") == std::string::npos)
        return value;
    return "\"" + ReplaceAll(value, "\"", "\"\"") + "\"";
}

void AppendLine(std::string& csv, const std::vector<Text>& fields) {
    for (std::size_t f = 0; f < fields.size(); ++f)
        csv += (f ? "," : "") + CsvField(fields[f]);
    csv += LineEnd;
}

// Every row of the table, with `first` (one text per row, the header's first) before its cells.
void AppendTable(std::string& csv, const FigureTable& table, const std::vector<Text>& first = {}) {
    for (int row = 0; row < table.Rows(); ++row) {
        std::vector<Text> fields;
        if (!first.empty())
            fields.push_back(first[static_cast<std::size_t>(row)]);
        for (const Figure& cell : table.cells[static_cast<std::size_t>(row)])
            fields.push_back(cell.text);
        AppendLine(csv, fields);
    }
}

} // namespace

std::string BasketCsv(const BasketTables& tables) {
    std::vector<Text> codes{"代码"_gbk};
    for (const BasketFundData& fund : tables.funds)
        codes.push_back(fund.code);
    std::string csv = Utf8ByteOrderMark;
    AppendTable(csv, RiskTableOf(tables, CsvDecimals), codes);
    csv += LineEnd;
    AppendTable(csv, CorrelationTableOf(tables, CsvDecimals));
    csv += LineEnd;
    AppendTable(csv, OverlapTableOf(tables, CsvDecimals));
    return csv;
}

} // namespace fundlens
