#include "demo-portal/market_clock.h"

#include "demo-portal/calendar.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace fundlens::demo {

std::optional<ChinaTime> ParseChinaTime(std::string_view text) {
    // Only the dashed form the command line documents.
    if (text.size() != 16 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    return ReadChinaTime(std::string(text));
}

std::string FormatChinaTime(ChinaTime time) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, " %02d:%02d", time.minute / 60, time.minute % 60);
    return FormatDay(time.day) + buffer;
}

ChinaTime MachineChinaTime() {
    return ChinaTimeOf(std::chrono::system_clock::now());
}

TradingDay TradingDayAt(ChinaTime now) {
    if (IsWeekday(now.day) && now.minute >= SessionOpens) {
        return {now.day, now.minute >= NavPublished};
    }
    return {PreviousWeekday(now.day), true};
}

int PublishedDay(const TradingDay& tradingDay) {
    return tradingDay.published ? tradingDay.sessionDay : PreviousWeekday(tradingDay.sessionDay);
}

int SessionMinute(ChinaTime now, int sessionDay) {
    if (now.day != sessionDay) {
        return now.day > sessionDay ? SessionMinutes : 0;
    }
    const int morning = std::clamp(now.minute, SessionOpens, LunchBegins) - SessionOpens;
    const int afternoon = std::clamp(now.minute, LunchEnds, SessionCloses) - LunchEnds;
    return morning + afternoon;
}

} // namespace fundlens::demo
