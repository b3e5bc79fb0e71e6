// The trading clock of the exchanges the funds hold: China time (UTC+8, no daylight saving),
// the session hours, and the phase of a watched fund's row. Public holidays are not known here:
// on one the clock reads as a weekday, and the row stays in its estimate phases until the day's
// NAV date shows.
#pragma once

#include "text/text.h"

#include <chrono>
#include <optional>

namespace fundlens {

// A China-time moment to the minute.
struct ChinaTime {
    int day = 0;    // day number (see analysis/dates.h)
    int minute = 0; // minutes since midnight, 0 ... 1439

    friend bool operator==(const ChinaTime&, const ChinaTime&) = default;
};

// The session: weekdays 09:30 to 11:30 and 13:00 to 15:00, each start inclusive, each end not.
inline constexpr int MorningOpen = 9 * 60 + 30;
inline constexpr int MorningClose = 11 * 60 + 30;
inline constexpr int AfternoonOpen = 13 * 60;
inline constexpr int AfternoonClose = 15 * 60;

// The China-time date and minute of a UTC moment.
ChinaTime ChinaTimeOf(std::chrono::system_clock::time_point utc);

// "YYYY-MM-DD HH:MM" (the fixed clock of --now; the date may also be written with '/');
// nothing when malformed.
std::optional<ChinaTime> ReadChinaTime(const Text& text);

bool IsSessionOpen(const ChinaTime& now);

// The program's clock: China time now, the machine's unless fixed (--now). Fixed once at
// start-up, before any other thread reads it.
ChinaTime CurrentChinaTime();
void FixChinaTime(std::optional<ChinaTime> fixed);

enum class FundPhase {
    Confirmed, // 已确认: the NAV shown is the latest there will be until the next session
    Estimate,  // 估算: in the session (its lunch break included) before the day's NAV is out
    Closing,   // 估算(收盘): the session is over, the day's NAV is not out yet
};

// The phase of a row from China-time now and the NAV date its main page shows: Confirmed when
// the NAV date is today (or later); otherwise Estimate on a weekday from 09:30 until 15:00,
// Closing on a weekday from 15:00, Confirmed before 09:30 and at weekends. An unreadable NAV
// date is not today's.
FundPhase PhaseOf(const ChinaTime& now, const Text& navDate);

// "估算", "估算(收盘)" or "已确认" (GBK).
Text PhaseCaption(FundPhase phase);

// The trading date an estimate made now is for: today's date, "YYYY-MM-DD".
Text TradeDateOf(const ChinaTime& now);

} // namespace fundlens
