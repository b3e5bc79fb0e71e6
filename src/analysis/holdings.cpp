#include "analysis/holdings.h"

#include <charconv>
#include <cmath>

namespace fundlens {

namespace {

constexpr const char* SuspendedChange = "-";

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// An optional sign, digits, and an optional decimal point followed by digits.
bool IsDecimal(const std::string& text) {
    std::size_t i = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
    const std::size_t intStart = i;
    while (i < text.size() && IsDigit(text[i]))
        ++i;
    if (i == intStart)
        return false;
    if (i < text.size() && text[i] == '.') {
        const std::size_t fracStart = ++i;
        while (i < text.size() && IsDigit(text[i]))
            ++i;
        if (i == fracStart)
            return false;
    }
    return i == text.size();
}

Text NameOf(const Text& stockCode, const std::vector<StockQuote>& quotes) {
    for (const StockQuote& quote : quotes) {
        if (quote.code == stockCode)
            return quote.name;
    }
    return Text();
}

} // namespace

std::optional<double> ReadPercent(const Text& text) {
    std::string number = TrimBlanks(text);
    if (!number.empty() && number.back() == '%')
        number = TrimBlanks(number.substr(0, number.size() - 1));
    if (!IsDecimal(number))
        return std::nullopt;
    // from_chars reads the same whatever locale the program runs in; it takes no '+'.
    const std::size_t skip = number[0] == '+' ? 1 : 0;
    double value = 0;
    const auto [end, error] = std::from_chars(number.data() + skip, number.data() + number.size(),
                                              value, std::chars_format::fixed);
    if (error != std::errc() || end != number.data() + number.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

TopHoldings TopHoldingsOf(const ArchiveHoldings& archive, const std::vector<StockQuote>& quotes,
                          const Text& reportDate) {
    TopHoldings holdings;
    holdings.reportDate = reportDate;
    for (const ArchiveRow& row : archive.rows) {
        const std::optional<double> weight = ReadPercent(row.weight);
        if (weight)
            holdings.stocks.push_back({row.stockCode, NameOf(row.stockCode, quotes), *weight});
    }
    return holdings;
}

std::vector<StockChange> StockChangesOf(const std::vector<StockQuote>& quotes) {
    std::vector<StockChange> changes;
    changes.reserve(quotes.size());
    for (const StockQuote& quote : quotes) {
        if (TrimBlanks(quote.change) == SuspendedChange) {
            changes.push_back({quote.code, std::nullopt});
            continue;
        }
        const std::optional<double> change = ReadPercent(quote.change);
        if (change)
            changes.push_back({quote.code, change});
    }
    return changes;
}

} // namespace fundlens
