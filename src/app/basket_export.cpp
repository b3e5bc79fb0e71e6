#include "app/basket_export.h"

#include "basket/basket_fetch.h"
#include "basket/basket_tables.h"
#include "basket/whole_file.h"
#include "chart/periods.h"
#include "portal/profile.h"
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

// Every fund's archive, fetched side by side.
std::vector<std::optional<TopHoldings>> FetchTopTens(const std::vector<Text>& codes) {
    std::vector<std::optional<TopHoldings>> tops(codes.size());
    std::vector<std::thread> threads;
    for (std::size_t f = 0; f < codes.size(); ++f)
        threads.emplace_back([&, f] { tops[f] = FetchTopTen(codes[f], nullptr); });
    for (std::thread& thread : threads)
        thread.join();
    return tops;
}

// The tables' data; what failed is named on standard error.
std::vector<BasketFundData> FundData(const std::vector<Text>& codes, const FundCurves& curves,
                                     const std::vector<std::optional<TopHoldings>>& tops) {
    std::vector<BasketFundData> funds;
    for (std::size_t f = 0; f < codes.size(); ++f) {
        BasketFundData fund;
        fund.code = codes[f];
        fund.curveState = curves.found[f] ? Fetched::Loaded : Fetched::Failed;
        for (std::size_t k = 0; curves.found[f] && k < curves.dates.size(); ++k)
            fund.curve.push_back({curves.dates[k], curves.values[f][k]});
        fund.holdingsState = tops[f] ? Fetched::Loaded : Fetched::Failed;
        fund.holdings = tops[f].value_or(TopHoldings{});
        if (!curves.found[f])
            std::cerr << "fundlens: the portal gave no curve for " << codes[f] << "\n";
        if (!tops[f])
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

    std::vector<std::optional<TopHoldings>> tops;
    std::thread archives([&] { tops = FetchTopTens(request.codes); });
    const FundCurves curves = FetchBasketCurves(request.codes, request.periodKey, nullptr);
    archives.join();
    if (!curves.HasPoints())
        return Fail(PortalFailureExitCode, TextToUtf8(ComparisonFailedMessage()));

    const BasketTables tables = ComputeBasketTables(FundData(request.codes, curves, tops),
                                                    CurrentPortalProfile().riskFreePct);
    const std::string csv = BasketCsv(tables);
    if (commandLine.outputFile.empty()) {
        std::cout.write(csv.data(), static_cast<std::streamsize>(csv.size()));
        return std::cout.flush() ? 0 : Fail(PortalFailureExitCode, "cannot write the output");
    }
    if (!WriteWholeFile(commandLine.outputFile, csv, error))
        return Fail(PortalFailureExitCode, error);
    return 0;
}

} // namespace fundlens
