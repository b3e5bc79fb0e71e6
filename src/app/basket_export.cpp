#include "app/basket_export.h"

#include "app/export_command.h"
#include "basket/basket_fetch.h"
#include "basket/basket_tables.h"
#include "chart/periods.h"
#include "portal/profile.h"
#include "portal/watchlist_answers.h"
#include "store/input_checks.h"

#include <algorithm>
#include <iostream>
#include <thread>

namespace fundlens {

namespace {

constexpr const char* ListPrefix = "compare:";
constexpr const char* DefaultPeriodKey = "year";

int Fail(int code, const std::string& message) {
    std::cerr << "fundlens: " << message << "\n";
    return code;
}

bool KnownPeriod(const std::string& key) {
    for (int button = 1; button <= PeriodButtons; ++button) {
        if (PeriodOfButton(button)->key == key)
            return true;
    }
    return false;
}

bool ParseCodes(const std::string& list, std::vector<Text>& codes, std::string& error) {
    for (const std::string& code : SplitText(list, ",")) {
        if (!CheckFundCode(code).empty()) {
            error = "\"" + code + "\" is not a fund code (six digits)";
            return false;
        }
        if (std::find(codes.begin(), codes.end(), code) != codes.end()) {
            error = "the fund " + code + " is named twice";
            return false;
        }
        codes.push_back(code);
    }
    if (codes.size() > static_cast<std::size_t>(MaxBasketFunds)) {
        error = "at most " + std::to_string(MaxBasketFunds) + " funds are compared, not " +
                std::to_string(codes.size());
        return false;
    }
    return true;
}

// What the fund's own pages give: its latest top ten and its name (the window takes the name
// from the fund list; here it is the main page's, or none).
struct FundPages {
    std::optional<TopHoldings> top;
    Text name;
};

// Every fund's archive and main page, fetched side by side.
std::vector<FundPages> FetchFundPages(const std::vector<Text>& codes) {
    std::vector<FundPages> pages(codes.size());
    std::vector<std::thread> threads;
    for (std::size_t f = 0; f < codes.size(); ++f) {
        threads.emplace_back([&, f] { pages[f].top = FetchTopTen(codes[f], nullptr); });
        threads.emplace_back([&, f] { pages[f].name = FetchMainPage(codes[f], nullptr).name; });
    }
    for (std::thread& thread : threads)
        thread.join();
    return pages;
}

// The tables' data; what failed is named on standard error.
std::vector<BasketFundData> FundData(const std::vector<Text>& codes, const FundCurves& curves,
                                     const std::vector<FundPages>& pages) {
    std::vector<BasketFundData> funds;
    for (std::size_t f = 0; f < codes.size(); ++f) {
        const std::optional<TopHoldings>& top = pages[f].top;
        BasketFundData fund;
        fund.code = codes[f];
        fund.name = pages[f].name;
        fund.curveState = curves.found[f] ? Fetched::Loaded : Fetched::Failed;
        for (std::size_t k = 0; curves.found[f] && k < curves.dates.size(); ++k)
            fund.curve.push_back({curves.dates[k], curves.values[f][k]});
        fund.holdingsState = top ? Fetched::Loaded : Fetched::Failed;
        fund.holdings = top.value_or(TopHoldings{});
        if (!curves.found[f])
            std::cerr << "fundlens: the portal gave no curve for " << codes[f] << "\n";
        if (!top)
            std::cerr << "fundlens: the holdings of " << codes[f] << " could not be fetched\n";
        funds.push_back(std::move(fund));
    }
    return funds;
}

} // namespace

bool IsBasketExport(const std::string& list) {
    return list.starts_with(ListPrefix);
}

bool ParseBasketExport(const std::string& list, const std::string& period,
                       BasketExportRequest& request, std::string& error) {
    if (!IsBasketExport(list) || list.size() == std::string(ListPrefix).size()) {
        error = "the funds to compare are given as compare:CODE,CODE[,...]";
        return false;
    }
    std::vector<Text> codes;
    if (!ParseCodes(list.substr(std::string(ListPrefix).size()), codes, error))
        return false;
    const std::string key = period.empty() ? DefaultPeriodKey : period;
    if (!KnownPeriod(key)) {
        error = "\"" + key +
                "\" is not a period (week, month, threemonth, sixmonth, year, twoyear, threeyear)";
        return false;
    }
    request.codes = std::move(codes);
    request.periodKey = key;
    return true;
}

int RunBasketExport(const CommandLine& commandLine) {
    BasketExportRequest request;
    std::string error;
    if (!commandLine.exportSort.empty())
        return Fail(BadUsageExitCode, "--sort goes with the export of a list, not compare:");
    if (!ParseBasketExport(commandLine.exportList, commandLine.exportPeriod, request, error))
        return Fail(BadUsageExitCode, error);

    std::vector<FundPages> pages;
    std::thread fundPages([&] { pages = FetchFundPages(request.codes); });
    const FundCurves curves = FetchBasketCurves(request.codes, request.periodKey, nullptr);
    fundPages.join();
    if (!curves.HasPoints())
        return Fail(PortalFailureExitCode, TextToUtf8(ComparisonFailedMessage()));

    const BasketTables tables = ComputeBasketTables(FundData(request.codes, curves, pages),
                                                    CurrentPortalProfile().riskFreePct);
    return WriteExportOutput(commandLine, BasketCsv(tables));
}

} // namespace fundlens
