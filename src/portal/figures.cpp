#include "portal/figures.h"

#include <charconv>
#include <cmath>

namespace fundlens {

namespace {

constexpr const char* NoFigure = "--";
// Room for any double in fixed notation.
constexpr std::size_t FixedTextRoom = 400;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The text without markup tags and without blanks at either end.
Text WithoutTags(const Text& text) {
    Text plain;
    bool inTag = false;
    for (char c : text) {
        if (c == '<')
            inTag = true;
        else if (c == '>' && inTag)
            inTag = false;
        else if (!inTag)
            plain += c;
    }
    return TrimBlanks(plain, " \t\r\n");
}

} // namespace

std::optional<double> FigureNumber(const Text& figure) {
    const Text plain = WithoutTags(figure);
    std::size_t i = plain.size() > 0 && (plain[0] == '-' || plain[0] == '+') ? 1 : 0;
    const std::size_t digits = i;
    while (i < plain.size() && IsDigit(plain[i]))
        ++i;
    if (i == digits)
        return std::nullopt;
    if (i < plain.size() && plain[i] == '.') {
        const std::size_t fraction = ++i;
        while (i < plain.size() && IsDigit(plain[i]))
            ++i;
        if (i == fraction)
            return std::nullopt;
    }
    const Text rest = TrimBlanks(plain.substr(i), " \t");
    if (!rest.empty() && rest != "%")
        return std::nullopt;
    double value = 0;
    const char* start = plain.data() + (plain[0] == '+' ? 1 : 0);
    std::from_chars(start, plain.data() + i, value); // not the locale's decimal point
    return value;
}

Text FixedText(double value, int decimals) {
    value = RoundHalfAway(value, decimals);
    if (!std::isfinite(value))
        return NoFigure;
    char text[FixedTextRoom];
    const auto written =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    if (written.ec != std::errc())
        return NoFigure;
    Text shown(text, written.ptr);
    if (shown.starts_with('-') && shown.find_first_not_of("-0.") == Text::npos)
        shown.erase(0, 1); // no "-0.00"
    return shown;
}

Rgb SignColor(double value) {
    return IsAbove(value, 0) ? RgbRed : RgbGreen;
}

Rgb SignColorOf(const Text& figure) {
    return SignColor(TextToNumber(figure));
}

Rgb ReturnCellColor(const Text& cellText) {
    const double v = TextToNumber(cellText);
    if (IsZero(v))
        return RgbGrey;
    if (IsAbove(v, HighReturnPercent))
        return RgbBlue;
    return v > 0 ? RgbRed : RgbGreen;
}

Rgb PickedReturnColor(const Text& cellText) {
    const double v = TextToNumber(cellText);
    return IsAbove(v, HighReturnPercent) ? RgbBlue : SignColor(v);
}

std::optional<Rgb> RiskFigureColor(int row, const Text& text) {
    if (text == NoFigure)
        return std::nullopt;
    return SignColorOf(row == DeviationRow ? TextBeforeFirst(text, "%") : text);
}

Rgb TenureColor(const Text& returnCell) {
    return FindText(returnCell, "red") != Text::npos ? RgbRed : RgbGreen;
}

Figure Greyed(const Figure& figure) {
    return {figure.text, RgbGrey};
}

} // namespace fundlens
