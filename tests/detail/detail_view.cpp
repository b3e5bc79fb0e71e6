#include "detail_view.h"

#include "demo-portal/calendar.h"
#include "demo-portal/fund_pages.h"
#include "shell/windows.h"

#include <chrono>
#include <cstdio>
#include <thread>

namespace fundlens::test {

namespace {

using demo::FormatFixed;
using demo::FundPages;
using demo::HasValue;

ShownCell CellOf(const Grid& grid, int row, int column) {
    return {grid.CellText(row, column), grid.CellColor(row, column)};
}

// A figure as the program reads it out of a JSON answer ("%.13g": "1.50" gives "1.5").
Text JsonNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.13g", std::stod(FormatFixed(value, 2)));
    return text;
}

Text ExpectedRating(const demo::Fund& fund) {
    const int stars = fund.ratingHistory.empty() ? 0 : fund.ratingHistory.front().rating;
    if (stars == 0) // assessed without stars: "0" leaves the emptied label; young: no rating
        return HasValue(fund.risk.sharpe[2]) && !fund.ratingHistory.empty() ? "" : "暂无评级"_gbk;
    std::string text;
    for (int i = 1; i <= 5; ++i)
        text += i <= stars ? "★" : "☆";
    return Utf8ToText(text);
}

ShownCell RiskFigure(const Text& text) {
    if (text == "--")
        return {text, RgbBlack};
    return {text, TextToNumber(text) > 1e-7 ? RgbRed : RgbGreen};
}

void ExpectHoldings(const demo::Universe& market, const demo::Fund& fund, DetailView& view) {
    std::size_t row = 0;
    for (std::size_t k = 0; k < fund.holdings.size() && k < 10; ++k) {
        const demo::Stock& stock =
            market.Stocks()[static_cast<std::size_t>(fund.holdings[k].stock)];
        if (!stock.quoted)
            continue;
        const bool rise = !stock.suspended && stock.changePct > 0;
        view.holdings[row] = {{{NumberToText(static_cast<int>(row) + 1)},
                               {stock.code},
                               {Utf8ToText(stock.name)},
                               {(stock.suspended ? "-" : JsonNumber(stock.changePct)) + "%",
                                rise ? RgbRed : RgbGreen},
                               {FormatFixed(fund.holdings[k].weightPct, 2) + "%"}}};
        ++row;
    }
}

} // namespace

void PrintTo(const DetailView& view, std::ostream* out) {
    auto cell = [out](const ShownCell& c) {
        *out << TextToUtf8(c.text) << "/" << RgbToHex(c.color) << " ";
    };
    *out << "\n  " << TextToUtf8(view.name) << " | " << TextToUtf8(view.size) << " | "
         << TextToUtf8(view.managers) << " | " << TextToUtf8(view.rating) << " | ";
    cell(view.tenure);
    for (const auto& row : view.risk) {
        *out << "\n  risk ";
        for (const ShownCell& c : row)
            cell(c);
    }
    for (const auto& row : view.holdings) {
        *out << "\n  holding ";
        for (const ShownCell& c : row)
            cell(c);
    }
}

DetailView ShownDetail(const DetailColumnNames& column) {
    const Window main = MainWindow();
    DetailView view;
    view.name = main.LabelNamed(column.name).Caption();
    view.size = main.LabelNamed(column.size).Caption();
    view.managers = main.LabelNamed(column.managers).Caption();
    view.rating = main.LabelNamed(column.rating).Caption();
    const Label tenure = main.LabelNamed(column.tenure);
    view.tenure = {tenure.Caption(), tenure.TextColor()};
    const Grid risk = main.GridNamed(column.risk);
    for (int row = 1; row <= 2; ++row) {
        for (int year = 1; year <= 3; ++year)
            view.risk[row - 1][year - 1] = CellOf(risk, row, year);
    }
    const Grid holdings = main.GridNamed(column.holdings);
    for (int row = 1; row <= 10; ++row) {
        for (int cell = 0; cell < 5; ++cell)
            view.holdings[row - 1][cell] = CellOf(holdings, row, cell);
    }
    return view;
}

DetailView ExpectedDetail(const demo::Universe& market, const demo::Fund& fund) {
    const demo::Management& team = fund.managements.front();
    const auto& managers = market.Managers();
    std::string names = managers[static_cast<std::size_t>(team.managers.front())].name;
    if (team.managers.size() > 1)
        names += "，" + managers[static_cast<std::size_t>(team.managers.back())].name;
    const int start =
        market.TradingDays()[static_cast<std::size_t>(std::max(team.startIndex, fund.firstIndex))];
    DetailView view;
    view.name = Utf8ToText(fund.name);
    view.size = Utf8ToText(FormatFixed(fund.sizeYi, 2) + "亿元（截止至：" +
                           demo::FormatDay(market.ReportDay()) + "）");
    view.managers = Utf8ToText(names);
    view.rating = ExpectedRating(fund);
    view.tenure = {Utf8ToText(FormatFixed(team.returnPct, 2) + "%（任期：" +
                              FundPages::TenureText(market.LastTradingDay() - start) + "）"),
                   team.returnPct > 0 ? RgbRed : RgbGreen};
    for (std::size_t k = 0; k < 3; ++k) {
        const double sharpe = fund.risk.sharpe[k];
        view.risk[0][k] = RiskFigure(FundPages::PercentText(fund.risk.deviationPct[k]));
        view.risk[1][k] = RiskFigure(HasValue(sharpe) ? FormatFixed(sharpe, 2) : "--");
    }
    ExpectHoldings(market, fund, view);
    return view;
}

const demo::Fund* FindFund(const demo::Universe& market,
                           const std::function<bool(const demo::Fund&)>& wanted) {
    for (const demo::Fund& fund : market.Funds()) {
        if (wanted(fund))
            return &fund;
    }
    return nullptr;
}

int QuotedHoldings(const demo::Universe& market, const demo::Fund& fund) {
    int quoted = 0;
    for (std::size_t k = 0; k < fund.holdings.size() && k < 10; ++k)
        quoted += market.Stocks()[static_cast<std::size_t>(fund.holdings[k].stock)].quoted;
    return quoted;
}

RelayPortal::RelayPortal(std::string target, Delay delayMs, Replace replace)
    : m_target(std::move(target)), m_delayMs(std::move(delayMs)), m_replace(std::move(replace)),
      m_server([this](const httplib::Request& request, httplib::Response& response) {
          Answer(request, response);
      }) {}

void RelayPortal::Answer(const httplib::Request& request, httplib::Response& response) {
    const int delay = m_delayMs ? m_delayMs(request.target) : 0;
    if (delay > 0) {
        ++m_heldBack;
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
    }
    if (!m_replace || !m_replace(request, response)) {
        httplib::Client client(m_target);
        httplib::Headers headers;
        if (request.has_header("Referer"))
            headers.emplace("Referer", request.get_header_value("Referer"));
        if (auto answer = client.Get(request.target, headers)) {
            response.status = answer->status;
            response.set_content(answer->body, answer->get_header_value("Content-Type"));
        } else {
            response.status = 502;
        }
    }
    if (delay > 0)
        --m_heldBack;
}

} // namespace fundlens::test
