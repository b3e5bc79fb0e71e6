#include "store/input_checks.h"

#include <charconv>
#include <cmath>

namespace fundlens {

namespace {

constexpr int MinYear = 1900;
constexpr int MaxYear = 9999;
constexpr double MaxCoveredPct = 100;

// GBK: the full-width forms of ASCII are 0xA3 0xA1..0xFE; the full-width blank is 0xA1 0xA1.
constexpr unsigned char FullWidthLead = 0xA3;
constexpr unsigned char FullWidthBlankLead = 0xA1;

bool IsGbkLead(unsigned char b) {
    return b >= 0x81 && b <= 0xFE;
}

// The text with full-width ASCII forms and the full-width blank in their one-byte forms; other
// two-byte characters are kept whole.
std::string NarrowForms(const Text& text) {
    std::string narrow;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (!IsGbkLead(lead) || i + 1 == text.size()) {
            narrow += text[i];
            continue;
        }
        const auto trail = static_cast<unsigned char>(text[i + 1]);
        if (lead == FullWidthLead && trail >= 0xA1 && trail <= 0xFE)
            narrow += static_cast<char>(trail - 0x80);
        else if (lead == FullWidthBlankLead && trail == 0xA1)
            narrow += ' ';
        else
            narrow.append(text, i, 2);
        ++i;
    }
    return narrow;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Digits with thousands separators: the first group of 1 to 3 digits, every later one of 3.
bool GroupsAreSound(std::string_view digits) {
    const std::size_t first = digits.find(',');
    if (first == 0 || first > 3)
        return false;
    for (std::size_t at = first; at != std::string_view::npos;) {
        const std::size_t next = digits.find(',', at + 1);
        const std::size_t end = next == std::string_view::npos ? digits.size() : next;
        if (end - at - 1 != 3)
            return false;
        at = next;
    }
    return true;
}

// Reads sign, integer part and decimal part of `s` into `plain` (without separators); the
// number of bytes read. `digits` counts the digits seen.
std::size_t ReadDecimal(std::string_view s, std::string& plain, int& digits, bool& grouped) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        plain += s[i++] == '-' ? "-" : "";
    const std::size_t integerStart = i;
    while (i < s.size() && (IsDigit(s[i]) || s[i] == ','))
        ++i;
    const std::string_view integer = s.substr(integerStart, i - integerStart);
    grouped = integer.find(',') == std::string_view::npos || GroupsAreSound(integer);
    for (char c : integer) {
        if (IsDigit(c)) {
            plain += c;
            ++digits;
        }
    }
    if (i < s.size() && s[i] == '.') {
        plain += s[i++];
        for (; i < s.size() && IsDigit(s[i]); ++i, ++digits)
            plain += s[i];
    }
    return i;
}

bool IsFiniteNonNegative(double v) {
    return std::isfinite(v) && v >= 0;
}

Text CheckAmountFigure(const char* label, double v) {
    if (!std::isfinite(v))
        return Utf8ToText(label) + "不是有效的数字"_gbk;
    if (v < 0)
        return Utf8ToText(label) + "不能为负数"_gbk;
    return {};
}

Text CheckBuyOrSell(const Transaction& t) {
    if (!(std::isfinite(t.nav) && t.nav > 0))
        return "单位净值必须大于 0"_gbk;
    if (Text why = CheckAmountFigure("手续费", t.fee); !why.empty())
        return why;
    if (t.kind == TransactionKind::Sell) {
        if (t.amount)
            return "卖出请填写份额，不填金额"_gbk;
        if (!t.shares || !(std::isfinite(*t.shares) && *t.shares > 0))
            return "卖出份额必须大于 0"_gbk;
        return {};
    }
    if (t.amount.has_value() == t.shares.has_value())
        return "买入请填写金额或份额中的一项"_gbk;
    const double value = t.amount ? *t.amount : *t.shares;
    if (!(std::isfinite(value) && value > 0))
        return t.amount ? "买入金额必须大于 0"_gbk : "买入份额必须大于 0"_gbk;
    if (t.amount && *t.amount <= t.fee)
        return "买入金额必须大于手续费"_gbk;
    return {};
}

int DaysInMonth(int year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

int NumberAt(const Text& text, std::size_t at, std::size_t length) {
    int value = 0;
    for (std::size_t i = at; i < at + length; ++i)
        value = value * 10 + (text[i] - '0');
    return value;
}

} // namespace

ParsedNumber ParseNumber(const Text& text) {
    const std::string s = TrimBlanks(NarrowForms(text), " \t\r\n");
    if (s.empty())
        return {std::nullopt, "没有填写"_gbk};
    std::string plain;
    int digits = 0;
    bool grouped = true;
    const std::size_t read = ReadDecimal(s, plain, digits, grouped);
    if (digits == 0)
        return {std::nullopt, "“"_gbk + s + "”不是数字"_gbk};
    if (read != s.size())
        return {std::nullopt, "“"_gbk + s + "”的数字后面有多余的字符"_gbk};
    if (!grouped)
        return {std::nullopt, "“"_gbk + s + "”的千位分隔符位置不对"_gbk};
    double value = 0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (error == std::errc::result_out_of_range || !std::isfinite(value))
        return {std::nullopt, "“"_gbk + s + "”太大了"_gbk};
    if (error != std::errc() || end != plain.data() + plain.size())
        return {std::nullopt, "“"_gbk + s + "”不是数字"_gbk};
    return {value, {}};
}

Text CheckFundCode(const Text& code) {
    bool digits = code.size() == 6;
    for (char c : code)
        digits = digits && IsDigit(c);
    if (!digits)
        return "基金代码应为六位数字：“"_gbk + code + "”"_gbk;
    return {};
}

Text CheckDate(const Text& date) {
    bool shaped = date.size() == 10 && date[4] == '-' && date[7] == '-';
    for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        shaped = shaped && IsDigit(date[i]);
    if (shaped) {
        const int year = NumberAt(date, 0, 4), month = NumberAt(date, 5, 2);
        const int day = NumberAt(date, 8, 2);
        if (year >= MinYear && year <= MaxYear && month >= 1 && month <= 12 && day >= 1 &&
            day <= DaysInMonth(year, month))
            return {};
    }
    return "日期应为存在的日子，写作“年-月-日”（例如 2024-03-15）：“"_gbk + date + "”"_gbk;
}

Text CheckTransaction(const Transaction& t) {
    if (Text why = CheckFundCode(t.code); !why.empty())
        return why;
    if (Text why = CheckDate(t.date); !why.empty())
        return why;
    if (t.kind == TransactionKind::Adjust) {
        if (t.amount)
            return "设置持仓请填写份额和成本，不填金额"_gbk;
        if (!t.shares)
            return "设置持仓请填写份额"_gbk;
        if (Text why = CheckPosition(*t.shares, t.cost); !why.empty())
            return why;
        return IsFiniteNonNegative(t.nav) && IsFiniteNonNegative(t.fee)
                   ? Text()
                   : "单位净值和手续费不能为负数"_gbk;
    }
    return CheckBuyOrSell(t);
}

Text CheckPosition(double shares, double cost) {
    if (Text why = CheckAmountFigure("持有份额", shares); !why.empty())
        return why;
    return CheckAmountFigure("持仓成本", cost);
}

Text CheckEstimate(double estimatePct, double coveredPct) {
    if (!std::isfinite(estimatePct))
        return "估算涨跌幅不是有效的数字"_gbk;
    if (!(std::isfinite(coveredPct) && coveredPct >= 0 && coveredPct <= MaxCoveredPct))
        return "估算覆盖的持仓比例应在 0 到 100 之间"_gbk;
    return {};
}

Text CheckConfirmed(double confirmedPct) {
    return std::isfinite(confirmedPct) ? Text() : "确认涨跌幅不是有效的数字"_gbk;
}

} // namespace fundlens
