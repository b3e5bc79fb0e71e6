#include "watchlist/watchlist_entry.h"

#include "analysis/dates.h"
#include "analysis/positions.h"
#include "store/input_checks.h"

#include <algorithm>

namespace fundlens {

namespace {

// A number field: its value, or the problem naming the field.
std::optional<double> ReadField(const Text& typed, const char* label, Text& problem) {
    const ParsedNumber number = ParseNumber(typed);
    if (!number.value && problem.empty())
        problem = Utf8ToText(label) + "："_gbk + number.why;
    return number.value;
}

bool Blank(const Text& typed) {
    return TrimBlanks(typed, " \t\r\n").empty();
}

Text DateProblem(const Text& date, const Text& today) {
    if (Text why = CheckDate(date); !why.empty())
        return "交易日期："_gbk + why;
    if (ReadDay(date) > ReadDay(today))
        return "交易日期不能晚于今天（"_gbk + today + "）"_gbk;
    return Text();
}

// Buy and sell: date, NAV and fee.
void ReadTrade(Transaction& t, const TransactionEntry& entry, const Text& today, Text& problem) {
    t.date = TrimBlanks(entry.date, " \t\r\n");
    problem = DateProblem(t.date, today);
    t.nav = ReadField(entry.nav, "成交净值", problem).value_or(0);
    if (!Blank(entry.fee))
        t.fee = ReadField(entry.fee, "手续费", problem).value_or(0);
}

Text ReadEntry(Transaction& t, EntryKind kind, const TransactionEntry& entry, const Text& today) {
    Text problem;
    switch (kind) {
    case EntryKind::Buy:
        t.kind = TransactionKind::Buy;
        ReadTrade(t, entry, today, problem);
        if (Blank(entry.amount) == Blank(entry.shares) && problem.empty())
            return "请填写买入金额或买入份额中的一项"_gbk;
        if (!Blank(entry.amount))
            t.amount = ReadField(entry.amount, "买入金额", problem);
        else
            t.shares = ReadField(entry.shares, "买入份额", problem);
        return problem;
    case EntryKind::Sell:
        t.kind = TransactionKind::Sell;
        ReadTrade(t, entry, today, problem);
        t.shares = ReadField(entry.shares, "卖出份额", problem);
        return problem;
    case EntryKind::Position:
        t.kind = TransactionKind::Adjust;
        t.date = today;
        t.shares = ReadField(entry.shares, "持有份额", problem);
        t.cost = ReadField(entry.cost, "持仓成本", problem).value_or(0);
        return problem;
    }
    return problem;
}

// The history with `added` after every recorded transaction of its date.
Text AddedHistoryProblem(std::vector<Transaction> recorded, Transaction added) {
    long long last = 0;
    for (const Transaction& t : recorded)
        last = std::max(last, t.id);
    added.id = last + 1;
    recorded.push_back(added);
    const std::optional<HistoryProblem> problem = CheckHistory(std::move(recorded));
    if (!problem)
        return Text();
    if (problem->id == added.id)
        return problem->message;
    return "这笔交易会让之后的一笔交易无法成立："_gbk + problem->message;
}

} // namespace

EntryOutcome TransactionOfEntry(EntryKind kind, const Text& code, const TransactionEntry& entry,
                                const Text& today, const std::vector<Transaction>& recorded) {
    Transaction t;
    t.code = code;
    EntryOutcome outcome;
    outcome.problem = ReadEntry(t, kind, entry, today);
    if (outcome.problem.empty())
        outcome.problem = CheckTransaction(t);
    if (outcome.problem.empty())
        outcome.problem = AddedHistoryProblem(recorded, t);
    if (outcome.problem.empty())
        outcome.transaction = t;
    return outcome;
}

} // namespace fundlens
