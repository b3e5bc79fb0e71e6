// What a detail column shows, read from the main window, and what it should show for a fund of
// the demo portal's market; funds picked from the market by what they have; a portal in front
// of the demo portal that holds back or replaces chosen answers.
#pragma once

#include "demo-portal/universe.h"
#include "shell/rgb.h"
#include "shell/window_design.h"
#include "support/local_server.h"
#include "text/text.h"

#include <array>
#include <atomic>
#include <functional>
#include <optional>
#include <ostream>
#include <string>

namespace fundlens::test {

struct ShownCell {
    Text text;
    Rgb color = RgbBlack;
    bool operator==(const ShownCell&) const = default;
};

struct DetailView {
    Text name, size, managers, rating;
    ShownCell tenure;
    std::array<std::array<ShownCell, 3>, 2> risk;      // rows 1..2, columns 1..3
    std::array<std::array<ShownCell, 5>, 10> holdings; // rows 1..10, columns 0..4
    bool operator==(const DetailView&) const = default;
};
void PrintTo(const DetailView& view, std::ostream* out);

// A detail column (the left one unless told) as the main window shows it.
DetailView ShownDetail(const DetailColumnNames& column = CurrentColumnNames);

// The column for `fund` as the market's figures give it (a rating "0" leaves the label as a new
// fund's load has emptied it).
DetailView ExpectedDetail(const demo::Universe& market, const demo::Fund& fund);

// The first fund of the market for which `wanted` holds.
const demo::Fund* FindFund(const demo::Universe& market,
                           const std::function<bool(const demo::Fund&)>& wanted);

// Holdings the quote endpoint answers for (at most ten).
int QuotedHoldings(const demo::Universe& market, const demo::Fund& fund);

// Forwards every request to `target`. `delayMs` tells how long the answer to a request target
// is held back; `replace` may answer a request itself (returning true).
class RelayPortal {
public:
    using Delay = std::function<int(const std::string& target)>;
    using Replace = std::function<bool(const httplib::Request&, httplib::Response&)>;
    RelayPortal(std::string target, Delay delayMs, Replace replace = {});

    std::string Base() const { return m_server.Base(); }
    // Requests held back whose answer has not been sent yet.
    int HeldBack() const { return m_heldBack.load(); }

private:
    void Answer(const httplib::Request& request, httplib::Response& response);

    std::string m_target;
    Delay m_delayMs;
    Replace m_replace;
    std::atomic<int> m_heldBack{0};
    LocalServer m_server; // last: it stops before the members its handler uses go
};

} // namespace fundlens::test
