// The market's clock: China time (UTC+8, no daylight saving) to the minute, and the trading day
// it falls in — which session the quotes are of, how far it has run, and whose net values are
// published.
#pragma once

#include "analysis/trading_clock.h"

#include <optional>
#include <string>
#include <string_view>

namespace fundlens::demo {

// A minute of China time, as the program's clock counts it (day numbers since 1970-01-01).
using ChinaTime = fundlens::ChinaTime;

inline constexpr int SessionOpens = MorningOpen;     // 09:30
inline constexpr int LunchBegins = MorningClose;     // 11:30
inline constexpr int LunchEnds = AfternoonOpen;      // 13:00
inline constexpr int SessionCloses = AfternoonClose; // 15:00
inline constexpr int NavPublished = 20 * 60;         // 20:00: the day's net values are out
// Trading minutes from the open to the close.
inline constexpr int SessionMinutes = (LunchBegins - SessionOpens) + (SessionCloses - LunchEnds);

// Reads "YYYY-MM-DD HH:MM"; nothing for any other text or an impossible date or time.
std::optional<ChinaTime> ParseChinaTime(std::string_view text);
std::string FormatChinaTime(ChinaTime time);

// The machine's clock in China time.
ChinaTime MachineChinaTime();

// The trading day a moment falls in: the latest weekday whose session has opened (09:30), and
// whether that day's net values are out yet (20:00). Before a weekday's open and at weekends it
// is the last weekday, closed and published.
struct TradingDay {
    int sessionDay = 0;
    bool published = false;
    bool operator==(const TradingDay&) const = default;
};
TradingDay TradingDayAt(ChinaTime now);

// The day whose net values are the latest ones out: the session day once published, the
// weekday before it until then.
int PublishedDay(const TradingDay& tradingDay);

// Trading minutes of `sessionDay`'s session run by `now`: 0 at the open, held at the lunch
// break's start until 13:00, SessionMinutes from the close on (and on any later day).
int SessionMinute(ChinaTime now, int sessionDay);

} // namespace fundlens::demo
