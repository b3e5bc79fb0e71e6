// Where the portal lives: the profile (an INI file), the base URL given on the command line or
// the built-in demo portal, and the one place where loaders build portal URLs.
#pragma once

#include "text/text.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace fundlens {

// The portal's hosts. Fund: ranking endpoint, fund main pages, compare referer.
enum class PortalHost { Fund, F10, Api, Search, Quote };

// Largest timeout and deadline a profile may give, in seconds (a day).
inline constexpr int MaxRequestSeconds = 86400;

// The profile's settings beyond the portal, their defaults and bounds.
inline constexpr double DefaultRiskFreePct = 1.5;
inline constexpr double MaxRiskFreePct = 100;
inline constexpr int DefaultWatchlistRefreshSeconds = 30;
inline constexpr int MinWatchlistRefreshSeconds = 10;

// Path and query of the update-information page on its host.
inline constexpr const char* UpdatePagePath = "/home.php?mod=spacecp&ac=profile&op=base";

struct PortalProfile {
    // Base URLs with scheme ("http://127.0.0.1:8080", may carry a path prefix).
    std::string fund, f10, api, search, quote;
    std::string updatePage;                  // the full update-information page URL
    std::optional<std::string> updateCookie; // cookie text sent with it
    std::string caBundle;                    // extra CA bundle for TLS
    int timeoutSeconds = 0;  // longest wait without progress; 0: the web layer's default
    int deadlineSeconds = 0; // longest time for a whole request; 0: the web layer's default
    // [analysis] risk_free: the risk-free rate of the basket's ratios, percent a year.
    double riskFreePct = DefaultRiskFreePct;
    // [watchlist] refresh: seconds between the watchlist's quote refreshes in the session.
    int watchlistRefreshSeconds = DefaultWatchlistRefreshSeconds;
};

// Every host and the update page at one base URL.
PortalProfile ProfileAtBase(const std::string& base);

// True when some host or the update page is not set.
bool ProfileIncomplete(const PortalProfile& profile);

// Sets every host and the update page that is still empty from `base`.
void FillMissing(PortalProfile& profile, const std::string& base);

// An INI text: "[section]" lines and "key=value" lines; the value is everything after the
// first '=' (it may hold ';', ',' and '='), blanks around keys and values are dropped. Lines
// that are empty or start with ';' or '#' are comments. Section and key names are case-blind
// (stored in lower case); a later key replaces an earlier one.
using IniSections = std::map<std::string, std::map<std::string, std::string>>;
bool ParseIni(std::string_view text, IniSections& sections, std::string& error);

// Fills `profile` from an INI text ([portal] fund= f10= api= search= quote= timeout= deadline=,
// [update] page= cookie=, [tls] ca_bundle=, [analysis] risk_free=, [watchlist] refresh=). Keys
// it does not set keep their value. Fails on a malformed line, an unknown section or key, an
// address that is not http:// or https://, a number of seconds that is not a whole number from
// 1 to MaxRequestSeconds (refresh: from MinWatchlistRefreshSeconds), or a risk-free rate that
// is not a number above -100 and at most 100.
bool ApplyProfileText(std::string_view text, PortalProfile& profile, std::string& error);
bool ReadProfileFile(const std::string& path, PortalProfile& profile, std::string& error);

// The profile the program runs with.
void SetPortalProfile(const PortalProfile& profile);
const PortalProfile& CurrentPortalProfile();

// `base` and `path` joined with exactly one '/'.
Text JoinUrl(const Text& base, const Text& path);

// A URL on one of the portal's hosts: PortalUrl(PortalHost::F10, "jjjl_" + code + ".html").
Text PortalUrl(PortalHost host, const Text& path);

// The update-information page and its cookie text (empty when the profile gives none).
Text UpdatePageUrl();
Text UpdateCookie();

} // namespace fundlens
