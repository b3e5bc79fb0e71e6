// Calendar days as plain day numbers (days since 1970-01-01) and the portal's date texts.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace fundlens::demo {

int DayNumber(int year, int month, int day);
void SplitDay(int dayNumber, int& year, int& month, int& day);

// 0 Sunday … 6 Saturday.
int Weekday(int dayNumber);
inline bool IsWeekday(int dayNumber) {
    const int w = Weekday(dayNumber);
    return w != 0 && w != 6;
}

// The weekday before and after `dayNumber`.
int PreviousWeekday(int dayNumber);
int NextWeekday(int dayNumber);

// The same day `months` months later (earlier when negative), clamped to the month's end.
int AddMonths(int dayNumber, int months);

// "2026-12-07" with separator '-', "2026/12/07" with '/'.
std::string FormatDay(int dayNumber, char separator = '-');

// Reads "YYYY-MM-DD"; nothing for any other text or an impossible date.
std::optional<int> ParseDay(std::string_view text);

// The last day of the calendar quarter that ended before `dayNumber` (a quarter end itself
// counts as ended).
int LastQuarterEnd(int dayNumber);

} // namespace fundlens::demo
