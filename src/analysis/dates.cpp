#include "analysis/dates.h"

#include <chrono>
#include <cstdio>

namespace fundlens {

namespace {

constexpr std::size_t DateLength = 10; // "YYYY-MM-DD"
constexpr std::size_t MonthAt = 5;
constexpr std::size_t DayAt = 8;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The number of `count` ASCII digits at `at`; -1 when one of them is not a digit.
int DigitsAt(const Text& text, std::size_t at, std::size_t count) {
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (!IsDigit(text[i]))
            return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

} // namespace

std::optional<int> ReadDay(const Text& date) {
    if (date.size() != DateLength)
        return std::nullopt;
    const char separator = date[MonthAt - 1];
    if ((separator != '-' && separator != '/') || date[DayAt - 1] != separator)
        return std::nullopt;
    const int year = DigitsAt(date, 0, 4);
    const int month = DigitsAt(date, MonthAt, 2);
    const int day = DigitsAt(date, DayAt, 2);
    if (year < 0 || month < 0 || day < 0)
        return std::nullopt;
    const std::chrono::year_month_day ymd{std::chrono::year(year),
                                          std::chrono::month(static_cast<unsigned>(month)),
                                          std::chrono::day(static_cast<unsigned>(day))};
    if (!ymd.ok())
        return std::nullopt;
    return std::chrono::sys_days(ymd).time_since_epoch().count();
}

std::optional<int> DaysBetween(const Text& from, const Text& to) {
    const std::optional<int> start = ReadDay(from);
    const std::optional<int> end = ReadDay(to);
    if (!start || !end)
        return std::nullopt;
    return *end - *start;
}

Text DayText(int day) {
    const std::chrono::year_month_day ymd{std::chrono::sys_days(std::chrono::days(day))};
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(ymd.year()),
                  static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()));
    return text;
}

Weekday WeekdayOf(int day) {
    const std::chrono::weekday weekday{std::chrono::sys_days(std::chrono::days(day))};
    return static_cast<Weekday>(weekday.iso_encoding());
}

} // namespace fundlens
