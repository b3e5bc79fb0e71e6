#include "demo-portal/market_clock.h"

#include "demo-portal/calendar.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace fundlens::demo {

namespace {

constexpr long long ChinaOffsetSeconds = 8 * 3600;
constexpr long long SecondsPerDay = 86400;

// Two decimal digits at `at`; -1 when they are not digits.
int TwoDigits(std::string_view text, std::size_t at) {
    const char a = text[at];
    const char b = text[at + 1];
    if (a < '0' || a > '9' || b < '0' || b > '9') {
        return -1;
    }
    return (a - '0') * 10 + (b - '0');
}

} // namespace

std::optional<ChinaTime> ParseChinaTime(std::string_view text) {
    if (text.size() != 16 || text[10] != ' ' || text[13] != ':') {
        return std::nullopt;
    }
    const std::optional<int> day = ParseDay(text.substr(0, 10));
    const int hour = TwoDigits(text, 11);
    const int minute = TwoDigits(text, 14);
    if (!day || hour < 0 || hour > 23 || minute < 0 || minute > 59) {
        return std::nullopt;
    }
    return ChinaTime{*day, hour * 60 + minute};
}

std::string FormatChinaTime(ChinaTime time) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, " %02d:%02d", time.minute / 60, time.minute % 60);
    return FormatDay(time.day) + buffer;
}

ChinaTime MachineChinaTime() {
    const long long seconds = static_cast<long long>(std::time(nullptr)) + ChinaOffsetSeconds;
    const long long days =
        seconds >= 0 ? seconds / SecondsPerDay : (seconds - SecondsPerDay + 1) / SecondsPerDay;
    return ChinaTime{static_cast<int>(days),
                     static_cast<int>((seconds - days * SecondsPerDay) / 60)};
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
