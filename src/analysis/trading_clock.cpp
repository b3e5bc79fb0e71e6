#include "analysis/trading_clock.h"

#include "analysis/dates.h"

namespace fundlens {

namespace {

constexpr std::chrono::hours ChinaOffset{8};
constexpr std::size_t DateLength = 10; // "YYYY-MM-DD"
constexpr std::size_t TimeLength = 5;  // "HH:MM"

// "HH:MM" as minutes since midnight; -1 when malformed.
int ReadMinute(const Text& text) {
    if (text.size() != TimeLength || text[2] != ':')
        return -1;
    for (std::size_t i : {0u, 1u, 3u, 4u}) {
        if (text[i] < '0' || text[i] > '9')
            return -1;
    }
    const int hour = (text[0] - '0') * 10 + (text[1] - '0');
    const int minute = (text[3] - '0') * 10 + (text[4] - '0');
    if (hour > 23 || minute > 59)
        return -1;
    return hour * 60 + minute;
}

} // namespace

ChinaTime ChinaTimeOf(std::chrono::system_clock::time_point utc) {
    using namespace std::chrono;
    const auto local = floor<minutes>(utc.time_since_epoch() + ChinaOffset);
    const auto day = floor<days>(local);
    return ChinaTime{static_cast<int>(day.count()), static_cast<int>((local - day).count())};
}

std::optional<ChinaTime> ReadChinaTime(const Text& text) {
    if (text.size() != DateLength + 1 + TimeLength || text[DateLength] != ' ')
        return std::nullopt;
    const std::optional<int> day = ReadDay(text.substr(0, DateLength));
    const int minute = ReadMinute(text.substr(DateLength + 1));
    if (!day || minute < 0)
        return std::nullopt;
    return ChinaTime{*day, minute};
}

namespace {

std::optional<ChinaTime>& FixedTime() {
    static std::optional<ChinaTime> fixed;
    return fixed;
}

} // namespace

ChinaTime CurrentChinaTime() {
    return FixedTime().value_or(ChinaTimeOf(std::chrono::system_clock::now()));
}

void FixChinaTime(std::optional<ChinaTime> fixed) {
    FixedTime() = fixed;
}

bool IsSessionOpen(const ChinaTime& now) {
    if (IsWeekend(now.day))
        return false;
    return (now.minute >= MorningOpen && now.minute < MorningClose) ||
           (now.minute >= AfternoonOpen && now.minute < AfternoonClose);
}

FundPhase PhaseOf(const ChinaTime& now, const Text& navDate) {
    const std::optional<int> navDay = ReadDay(navDate);
    if ((navDay && *navDay >= now.day) || IsWeekend(now.day) || now.minute < MorningOpen)
        return FundPhase::Confirmed;
    return now.minute < AfternoonClose ? FundPhase::Estimate : FundPhase::Closing;
}

Text PhaseCaption(FundPhase phase) {
    switch (phase) {
    case FundPhase::Estimate:
        return "估算"_gbk;
    case FundPhase::Closing:
        return "估算(收盘)"_gbk;
    case FundPhase::Confirmed:
        return "已确认"_gbk;
    }
    return Text();
}

Text TradeDateOf(const ChinaTime& now) {
    return DayText(now.day);
}

} // namespace fundlens
