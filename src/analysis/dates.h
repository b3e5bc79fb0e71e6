// Calendar dates as day numbers: the portal's "YYYY/MM/DD" and "YYYY-MM-DD" texts read into days
// since 1970-01-01 (proleptic Gregorian), the days between two dates and the weekday of a day.
#pragma once

#include "text/text.h"

#include <optional>

namespace fundlens {

// The day number of "YYYY/MM/DD" or "YYYY-MM-DD" (ASCII digits, zero-padded, one separator
// used twice); nothing for any other shape or a day the calendar lacks (month 13, Feb 30).
std::optional<int> ReadDay(const Text& date);

// Calendar days from `from` to `to` (negative when `to` is earlier); nothing when either
// date is unreadable.
std::optional<int> DaysBetween(const Text& from, const Text& to);

// "YYYY-MM-DD" of a day number.
Text DayText(int day);

enum class Weekday { Monday = 1, Tuesday, Wednesday, Thursday, Friday, Saturday, Sunday };

Weekday WeekdayOf(int day);

inline bool IsWeekend(int day) {
    return WeekdayOf(day) >= Weekday::Saturday;
}

} // namespace fundlens
