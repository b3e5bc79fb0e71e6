#include "watchlist/watchlist_export.h"

#include "portal/list_export.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <thread>

namespace fundlens {

namespace {

// Runs every job on up to `atOnce` threads; the results in the jobs' order.
template <class T>
std::vector<T> RunJobs(const std::vector<std::function<T()>>& jobs, int atOnce) {
    std::vector<T> results(jobs.size());
    std::atomic<std::size_t> next = 0;
    std::vector<std::thread> threads;
    const std::size_t workers = std::min<std::size_t>(std::max(atOnce, 1), jobs.size());
    for (std::size_t t = 0; t < workers; ++t) {
        threads.emplace_back([&] {
            for (std::size_t i = next++; i < jobs.size(); i = next++)
                results[i] = jobs[i]();
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    return results;
}

Text FailureOf(const Text& what, const Text& code) {
    return what + "（"_gbk + code + "）获取失败"_gbk;
}

// Main pages and archives; the first failure, or empty.
Text FetchPages(std::vector<FundState>& funds, int atOnce) {
    std::vector<std::function<MainPageAnswer()>> pageJobs;
    std::vector<std::function<ArchiveAnswer()>> archiveJobs;
    for (const FundState& fund : funds) {
        const Text code = fund.snapshot.code;
        pageJobs.push_back([code] { return FetchMainPage(code, nullptr); });
        archiveJobs.push_back([code] { return FetchArchive(code, nullptr); });
    }
    std::vector<MainPageAnswer> pages = RunJobs(pageJobs, atOnce);
    const std::vector<ArchiveAnswer> archives = RunJobs(archiveJobs, atOnce);
    Text failure;
    for (std::size_t i = 0; i < funds.size(); ++i) {
        const Text& code = funds[i].snapshot.code;
        if (failure.empty() && !pages[i].readable && !pages[i].unknownFund)
            failure = FailureOf("基金主页"_gbk, code);
        if (failure.empty() && !archives[i].readable)
            failure = FailureOf("持仓数据"_gbk, code);
        ApplyMainPage(funds[i], std::move(pages[i]));
        ApplyArchive(funds[i], archives[i]);
    }
    return failure;
}

} // namespace

FetchedWatchlist FetchWatchlist(std::vector<FundState>& funds, const Text& time, int atOnce) {
    FetchedWatchlist fetched;
    fetched.failure = FetchPages(funds, atOnce);
    const std::vector<Text> batches = QuoteBatches(StockIdLists(funds));
    std::vector<std::function<QuoteAnswer()>> jobs;
    for (const Text& batch : batches)
        jobs.push_back([batch] { return FetchQuotes(batch, nullptr); });
    const std::vector<QuoteAnswer> answers = RunJobs(jobs, atOnce);
    QuoteBook book;
    std::vector<bool> batchOk;
    for (std::size_t i = 0; i < batches.size(); ++i) {
        ApplyQuoteBatch(book, batches[i], answers[i]);
        batchOk.push_back(answers[i].readable);
        if (fetched.failure.empty() && !answers[i].readable)
            fetched.failure = "行情获取失败"_gbk;
    }
    SettleQuotes(funds, book, batches, batchOk, time);
    SettleUpdated(funds, time);
    fetched.ok = fetched.failure.empty();
    return fetched;
}

std::string WatchlistCsv(const WatchlistView& view) {
    std::string csv = Utf8ByteOrderMark;
    csv += CsvLine(std::vector<std::string>(WatchlistCaptions.begin(), WatchlistCaptions.end()));
    auto line = [&csv](const WatchlistRow& row) {
        std::vector<std::string> fields;
        for (const Figure& cell : row.cells)
            fields.push_back(TextToUtf8(cell.text));
        csv += CsvLine(fields);
    };
    for (const WatchlistRow& row : view.funds)
        line(row);
    line(view.totals);
    return csv;
}

} // namespace fundlens
