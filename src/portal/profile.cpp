#include "portal/profile.h"

#include "web/web_request.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <fstream>
#include <sstream>

namespace fundlens {

namespace {

std::string Trim(std::string_view s) {
    return TrimBlanks(s, " \t\r");
}

PortalProfile& Current() {
    static PortalProfile profile;
    return profile;
}

template <class Profile>
auto* HostField(Profile& p, PortalHost host) {
    switch (host) {
    case PortalHost::Fund:
        return &p.fund;
    case PortalHost::F10:
        return &p.f10;
    case PortalHost::Api:
        return &p.api;
    case PortalHost::Search:
        return &p.search;
    case PortalHost::Quote:
        return &p.quote;
    }
    return &p.fund;
}

constexpr PortalHost AllHosts[] = {PortalHost::Fund, PortalHost::F10, PortalHost::Api,
                                   PortalHost::Search, PortalHost::Quote};

bool SetAddress(std::string& field, const std::string& key, const std::string& value,
                std::string& error) {
    if (!IsWebAddress(value)) {
        error = key + "= is not an http:// or https:// address: \"" + value + "\"";
        return false;
    }
    field = value;
    return true;
}

bool SetSeconds(int& field, const std::string& key, const std::string& value, std::string& error) {
    const bool digits = !value.empty() && value.size() <= 9 &&
                        value.find_first_not_of("0123456789") == std::string::npos;
    const int seconds = digits ? std::stoi(value) : 0;
    if (seconds < 1 || seconds > MaxRequestSeconds) {
        error = key + "= is not a number of seconds from 1 to " +
                std::to_string(MaxRequestSeconds) + ": \"" + value + "\"";
        return false;
    }
    field = seconds;
    return true;
}

bool SetRefresh(int& field, const std::string& key, const std::string& value, std::string& error) {
    int seconds = 0;
    if (!SetSeconds(seconds, key, value, error) || seconds < MinWatchlistRefreshSeconds) {
        error = key + "= is not a number of seconds from " +
                std::to_string(MinWatchlistRefreshSeconds) + " to " +
                std::to_string(MaxRequestSeconds) + ": \"" + value + "\"";
        return false;
    }
    field = seconds;
    return true;
}

bool SetRate(double& field, const std::string& key, const std::string& value, std::string& error) {
    double rate = 0;
    const auto [end, failed] = std::from_chars(value.data(), value.data() + value.size(), rate);
    if (failed != std::errc() || end != value.data() + value.size() || !std::isfinite(rate) ||
        rate <= -MaxRiskFreePct || rate > MaxRiskFreePct) {
        error = key + "= is not a rate in percent a year (1.5): \"" + value + "\"";
        return false;
    }
    field = rate;
    return true;
}

} // namespace

PortalProfile ProfileAtBase(const std::string& base) {
    PortalProfile profile;
    FillMissing(profile, base);
    return profile;
}

bool ProfileIncomplete(const PortalProfile& profile) {
    for (PortalHost host : AllHosts) {
        if (HostField(profile, host)->empty()) {
            return true;
        }
    }
    return profile.updatePage.empty();
}

void FillMissing(PortalProfile& profile, const std::string& base) {
    for (PortalHost host : AllHosts) {
        std::string* field = HostField(profile, host);
        if (field->empty()) {
            *field = base;
        }
    }
    if (profile.updatePage.empty()) {
        profile.updatePage = JoinUrl(base, UpdatePagePath);
    }
}

bool ParseIni(std::string_view text, IniSections& sections, std::string& error) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    std::string section;
    bool inSection = false;
    int lineNumber = 0;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string line = Trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++lineNumber;
        if (line.empty() || line[0] == ';' || line[0] == '#') {
            continue;
        }
        if (line[0] == '[') {
            if (line.back() != ']' || line.size() < 3) {
                error = "line " + std::to_string(lineNumber) + ": malformed section header";
                return false;
            }
            section = ToLowerAscii(Trim(std::string_view(line).substr(1, line.size() - 2)));
            sections[section];
            inSection = true;
            continue;
        }
        std::size_t eq = line.find('=');
        if (eq == std::string::npos || Trim(std::string_view(line).substr(0, eq)).empty()) {
            error = "line " + std::to_string(lineNumber) + ": expected key=value";
            return false;
        }
        if (!inSection) {
            error = "line " + std::to_string(lineNumber) + ": key outside of a [section]";
            return false;
        }
        std::string key = ToLowerAscii(Trim(std::string_view(line).substr(0, eq)));
        sections[section][key] = Trim(std::string_view(line).substr(eq + 1));
    }
    return true;
}

bool ApplyProfileText(std::string_view text, PortalProfile& profile, std::string& error) {
    IniSections sections;
    if (!ParseIni(text, sections, error)) {
        return false;
    }
    for (const auto& [name, keys] : sections) {
        for (const auto& [key, value] : keys) {
            bool ok = true;
            if (name == "portal" && key == "fund") {
                ok = SetAddress(profile.fund, key, value, error);
            } else if (name == "portal" && key == "f10") {
                ok = SetAddress(profile.f10, key, value, error);
            } else if (name == "portal" && key == "api") {
                ok = SetAddress(profile.api, key, value, error);
            } else if (name == "portal" && key == "search") {
                ok = SetAddress(profile.search, key, value, error);
            } else if (name == "portal" && key == "quote") {
                ok = SetAddress(profile.quote, key, value, error);
            } else if (name == "portal" && key == "timeout") {
                ok = SetSeconds(profile.timeoutSeconds, key, value, error);
            } else if (name == "portal" && key == "deadline") {
                ok = SetSeconds(profile.deadlineSeconds, key, value, error);
            } else if (name == "update" && key == "page") {
                ok = SetAddress(profile.updatePage, key, value, error);
            } else if (name == "update" && key == "cookie") {
                profile.updateCookie = value;
            } else if (name == "tls" && key == "ca_bundle") {
                profile.caBundle = value;
            } else if (name == "analysis" && key == "risk_free") {
                ok = SetRate(profile.riskFreePct, key, value, error);
            } else if (name == "watchlist" && key == "refresh") {
                ok = SetRefresh(profile.watchlistRefreshSeconds, key, value, error);
            } else {
                error = "unknown setting [" + name + "] " + key;
                return false;
            }
            if (!ok) {
                error = "[" + name + "] " + error;
                return false;
            }
        }
    }
    return true;
}

bool ReadProfileFile(const std::string& path, PortalProfile& profile, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read the profile " + path;
        return false;
    }
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) {
        error = "cannot read the profile " + path;
        return false;
    }
    if (!ApplyProfileText(content.str(), profile, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

void SetPortalProfile(const PortalProfile& profile) {
    Current() = profile;
}

const PortalProfile& CurrentPortalProfile() {
    return Current();
}

Text JoinUrl(const Text& base, const Text& path) {
    std::size_t end = base.size();
    while (end > 0 && base[end - 1] == '/') {
        --end;
    }
    std::size_t start = 0;
    while (start < path.size() && path[start] == '/') {
        ++start;
    }
    return base.substr(0, end) + "/" + path.substr(start);
}

Text PortalUrl(PortalHost host, const Text& path) {
    return JoinUrl(*HostField(Current(), host), path);
}

Text UpdatePageUrl() {
    return Current().updatePage;
}

Text UpdateCookie() {
    return Utf8ToText(Current().updateCookie.value_or(std::string()));
}

} // namespace fundlens
