#include "analysis/positions.h"

#include "analysis/dates.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <tuple>

namespace fundlens {

namespace {

// Share counts within this of each other are the same count: what rounding leaves after
// selling all the shares is no position, and a sell of all of them is not "more than held".
constexpr double ShareTolerance = 1e-6;

bool IsFinite(double v) {
    return std::isfinite(v);
}

bool IsPositive(const std::optional<double>& v) {
    return v && IsFinite(*v) && *v > 0;
}

Text BuyProblem(const Transaction& t) {
    if (t.amount.has_value() == t.shares.has_value())
        return "买入须填写金额或份额之一"_gbk;
    if (t.amount && !IsPositive(t.amount))
        return "买入金额须大于0"_gbk;
    if (t.shares && !IsPositive(t.shares))
        return "买入份额须大于0"_gbk;
    if (t.amount && t.fee >= *t.amount)
        return "买入金额须大于手续费"_gbk;
    return Text();
}

Text SellProblem(const Position& before, const Transaction& t) {
    if (!IsPositive(t.shares))
        return "卖出份额须大于0"_gbk;
    if (!(before.shares > 0))
        return "没有可卖出的份额"_gbk;
    if (*t.shares > before.shares + ShareTolerance)
        return "卖出份额超过持有份额"_gbk;
    return Text();
}

Text AdjustProblem(const Transaction& t) {
    if (!t.shares || !IsFinite(*t.shares))
        return "调整须填写份额"_gbk;
    if (*t.shares < 0)
        return "调整后的份额不能为负"_gbk;
    if (!IsFinite(t.cost) || t.cost < 0)
        return "调整后的成本不能为负"_gbk;
    if (*t.shares == 0 && t.cost > 0)
        return "没有份额时成本须为0"_gbk;
    return Text();
}

// Buy and sell: the NAV and the fee.
Text PriceProblem(const Transaction& t) {
    if (!IsFinite(t.nav) || t.nav <= 0)
        return "净值须大于0"_gbk;
    if (!IsFinite(t.fee) || t.fee < 0)
        return "手续费不能为负"_gbk;
    return Text();
}

Position Sell(Position position, double shares) {
    const double sold = std::min(shares, position.shares);
    if (sold >= position.shares - ShareTolerance)
        return Position{};
    position.cost *= 1 - sold / position.shares;
    position.shares -= sold;
    return position;
}

Position Buy(Position position, const Transaction& t) {
    if (t.amount) {
        position.shares += (*t.amount - t.fee) / t.nav;
        position.cost += *t.amount;
    } else {
        position.shares += *t.shares;
        position.cost += *t.shares * t.nav + t.fee;
    }
    return position;
}

// An adjust to no shares empties the position whatever cost it names.
Position Adjust(Position position, const Transaction& t) {
    if (t.shares && *t.shares == 0)
        return Position{};
    if (!AdjustProblem(t).empty())
        return position;
    return Position{*t.shares, t.cost};
}

// The sort key: unreadable dates after every readable one.
std::tuple<int, long long> OrderOf(const Transaction& t) {
    return {ReadDay(t.date).value_or(INT_MAX), t.id};
}

} // namespace

Text TransactionProblem(const Position& before, const Transaction& transaction) {
    switch (transaction.kind) {
    case TransactionKind::Buy: {
        const Text price = PriceProblem(transaction);
        return price.empty() ? BuyProblem(transaction) : price;
    }
    case TransactionKind::Sell: {
        const Text price = PriceProblem(transaction);
        return price.empty() ? SellProblem(before, transaction) : price;
    }
    case TransactionKind::Adjust:
        return AdjustProblem(transaction);
    }
    return "未知的交易类型"_gbk;
}

Position ApplyTransaction(Position position, const Transaction& transaction) {
    switch (transaction.kind) {
    case TransactionKind::Buy:
        return TransactionProblem(position, transaction).empty() ? Buy(position, transaction)
                                                                 : position;
    case TransactionKind::Sell:
        // A sell beyond the shares held still sells what is held; any other fault changes nothing.
        if (!PriceProblem(transaction).empty() || !IsPositive(transaction.shares))
            return position;
        return Sell(position, *transaction.shares);
    case TransactionKind::Adjust:
        return Adjust(position, transaction);
    }
    return position;
}

void SortTransactions(std::vector<Transaction>& transactions) {
    std::stable_sort(
        transactions.begin(), transactions.end(),
        [](const Transaction& a, const Transaction& b) { return OrderOf(a) < OrderOf(b); });
}

Position PositionOf(std::vector<Transaction> transactions) {
    SortTransactions(transactions);
    Position position;
    for (const Transaction& transaction : transactions)
        position = ApplyTransaction(position, transaction);
    return position;
}

std::optional<HistoryProblem> CheckHistory(std::vector<Transaction> transactions) {
    SortTransactions(transactions);
    Position position;
    for (const Transaction& transaction : transactions) {
        const Text problem = TransactionProblem(position, transaction);
        if (!problem.empty())
            return HistoryProblem{transaction.id, problem};
        position = ApplyTransaction(position, transaction);
    }
    return std::nullopt;
}

} // namespace fundlens
