#include "demo-portal/calendar.h"

#include <chrono>
#include <cstdio>

namespace fundlens::demo {

namespace chr = std::chrono;

int DayNumber(int year, int month, int day) {
    const chr::year_month_day ymd{chr::year{year}, chr::month{static_cast<unsigned>(month)},
                                  chr::day{static_cast<unsigned>(day)}};
    return static_cast<int>(chr::sys_days{ymd}.time_since_epoch().count());
}

void SplitDay(int dayNumber, int& year, int& month, int& day) {
    const chr::year_month_day ymd{chr::sys_days{chr::days{dayNumber}}};
    year = static_cast<int>(ymd.year());
    month = static_cast<int>(static_cast<unsigned>(ymd.month()));
    day = static_cast<int>(static_cast<unsigned>(ymd.day()));
}

int Weekday(int dayNumber) {
    return static_cast<int>(chr::weekday{chr::sys_days{chr::days{dayNumber}}}.c_encoding());
}

int AddMonths(int dayNumber, int months) {
    int y = 0, m = 0, d = 0;
    SplitDay(dayNumber, y, m, d);
    int index = y * 12 + (m - 1) + months;
    const int newYear = index >= 0 ? index / 12 : (index - 11) / 12;
    const int newMonth = index - newYear * 12 + 1;
    const chr::year_month_day_last last{chr::year{newYear} /
                                        chr::month{static_cast<unsigned>(newMonth)} / chr::last};
    const int lastDay = static_cast<int>(static_cast<unsigned>(last.day()));
    return DayNumber(newYear, newMonth, d < lastDay ? d : lastDay);
}

std::string FormatDay(int dayNumber, char separator) {
    int y = 0, m = 0, d = 0;
    SplitDay(dayNumber, y, m, d);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d%c%02d%c%02d", y, separator, m, separator, d);
    return buffer;
}

std::optional<int> ParseDay(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') {
        return std::nullopt;
    }
    int parts[3] = {0, 0, 0};
    const std::size_t starts[3] = {0, 5, 8};
    const std::size_t lengths[3] = {4, 2, 2};
    for (int p = 0; p < 3; ++p) {
        for (std::size_t i = 0; i < lengths[p]; ++i) {
            const char c = text[starts[p] + i];
            if (c < '0' || c > '9') {
                return std::nullopt;
            }
            parts[p] = parts[p] * 10 + (c - '0');
        }
    }
    const chr::year_month_day ymd{chr::year{parts[0]}, chr::month{static_cast<unsigned>(parts[1])},
                                  chr::day{static_cast<unsigned>(parts[2])}};
    if (!ymd.ok() || parts[0] < 1990) {
        return std::nullopt;
    }
    return DayNumber(parts[0], parts[1], parts[2]);
}

int PreviousWeekday(int dayNumber) {
    int day = dayNumber - 1;
    while (!IsWeekday(day)) {
        --day;
    }
    return day;
}

int NextWeekday(int dayNumber) {
    int day = dayNumber + 1;
    while (!IsWeekday(day)) {
        ++day;
    }
    return day;
}

int LastQuarterEnd(int dayNumber) {
    int y = 0, m = 0, d = 0;
    SplitDay(dayNumber, y, m, d);
    // The quarter that contains the day starts at this month; the one before ends the day
    // before it, unless the day is itself a quarter end.
    const int quarterStartMonth = ((m - 1) / 3) * 3 + 1;
    const int endOfThisQuarter = AddMonths(DayNumber(y, quarterStartMonth, 1), 3) - 1;
    if (dayNumber == endOfThisQuarter) {
        return dayNumber;
    }
    return DayNumber(y, quarterStartMonth, 1) - 1;
}

} // namespace fundlens::demo
