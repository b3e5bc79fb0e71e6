#include "portal/list_export.h"

#include "portal/ranking.h"
#include "portal/sector_table.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace fundlens {

namespace {

constexpr int MaxPages = 500; // as the fund list: a portal's page count is not believed beyond

Text TitlePrefix(const ListExportRequest& request) {
    return request.fiveStar ? "五星基金"_gbk : Utf8ToText(request.sectorCaption) + "板块"_gbk;
}

Text ProbeUrl(const ListExportRequest& request) {
    if (request.fiveStar)
        return RankingUrl(FiveStarProbeQuery());
    return RankingUrl(
        SectorPageQuery(request.sectorCode, SectorDefaultSortKey, SectorDefaultSortOrder, 1));
}

Text PageUrl(const ListExportRequest& request, int page) {
    if (request.fiveStar)
        return RankingUrl(FiveStarPageQuery(request.sortKey, request.sortOrder, page));
    const bool sorted = !request.sortKey.empty();
    return RankingUrl(
        SectorPageQuery(request.sectorCode, sorted ? request.sortKey : Text(SectorDefaultSortKey),
                        sorted ? request.sortOrder : Text(SectorDefaultSortOrder), page));
}

// Every page, fetched by up to `workers` threads; progress is reported on the calling thread.
std::vector<RankPage> FetchPages(const ListExportRequest& request, int pages, int workers,
                                 const ExportProgress& progress) {
    std::vector<RankPage> results(static_cast<std::size_t>(pages));
    std::atomic<int> next = 0;
    std::mutex mutex;
    std::condition_variable arrived;
    int done = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < std::min(workers, pages); ++t) {
        threads.emplace_back([&] {
            for (int page = next++; page < pages; page = next++) {
                RankPage result = FetchRankPage(PageUrl(request, page + 1));
                std::lock_guard lock(mutex);
                results[static_cast<std::size_t>(page)] = std::move(result);
                ++done;
                arrived.notify_one();
            }
        });
    }
    for (int reported = 0; reported < pages;) {
        std::unique_lock lock(mutex);
        arrived.wait(lock, [&] { return done > reported; });
        reported = done;
        lock.unlock();
        if (progress)
            progress(reported, pages);
    }
    for (std::thread& thread : threads)
        thread.join();
    return results;
}

bool ParseSectorCode(std::string_view text, int& code) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), code);
    return error == std::errc() && end == text.data() + text.size();
}

} // namespace

bool ParseExportList(const std::string& list, ListExportRequest& request, std::string& error) {
    if (list == "five-star") {
        request.fiveStar = true;
        return true;
    }
    if (!list.starts_with("sector:")) {
        error = "the list is five-star or sector:CODE, not \"" + list + "\"";
        return false;
    }
    const std::string sector = list.substr(7);
    int code = 0;
    const bool byCode = ParseSectorCode(sector, code);
    for (const Sector& s : SectorTable()) {
        if (byCode ? s.code == code : s.caption == sector) {
            request.fiveStar = false;
            request.sectorCode = s.code;
            request.sectorCaption = std::string(s.caption);
            return true;
        }
    }
    error = "no sector \"" + sector + "\" in the sector table";
    return false;
}

bool ParseExportSort(const std::string& sort, ListExportRequest& request, std::string& error) {
    const std::size_t colon = sort.rfind(':');
    const std::string key = colon == std::string::npos ? sort : sort.substr(0, colon);
    const std::string order = colon == std::string::npos ? "desc" : sort.substr(colon + 1);
    if (order != "desc" && order != "asc") {
        error = "the sort order is asc or desc, not \"" + order + "\"";
        return false;
    }
    for (int column = 0; column < FundListColumns; ++column) {
        const Text columnKey = SortKeyOfColumn(column);
        if (!columnKey.empty() && (key == columnKey || key == FundListCaptions[column])) {
            request.sortKey = columnKey;
            request.sortOrder = order;
            return true;
        }
    }
    error = "\"" + key + "\" is not a sort key (r, z, 1y, 3y, 6y, jn, 1n, 2n, 3n)";
    return false;
}

ListExport FetchListForExport(const ListExportRequest& request, const ExportProgress& progress,
                              int pagesAtOnce) {
    ListExport result;
    result.failure = TitlePrefix(request) + "加载失败，请重试"_gbk;
    const RankPage probe = FetchRankPage(ProbeUrl(request));
    if (!probe.readable)
        return result;
    const int pages = static_cast<int>(std::min<double>(std::trunc(probe.allPages), MaxPages));
    for (const RankPage& page : FetchPages(request, std::max(pages, 0), pagesAtOnce, progress)) {
        if (!page.readable)
            return result;
        for (const Text& record : page.records)
            result.rows.push_back(FundRankRecord(record).ListCells());
    }
    result.ok = !result.rows.empty();
    return result;
}

std::string CsvField(const std::string& value) {
    if (value.find_first_of(",\"\r\n") == std::string::npos)
        return value;
    std::string quoted(1, '"');
    quoted += ReplaceAll(value, "\"", "\"\"");
    quoted += '"';
    return quoted;
}

std::string CsvLine(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t column = 0; column < fields.size(); ++column) {
        if (column > 0)
            line += ',';
        line += CsvField(fields[column]);
    }
    return line + "\r\n";
}

std::string ListCsv(const std::vector<ListRow>& rows) {
    std::string csv = Utf8ByteOrderMark;
    csv += CsvLine(std::vector<std::string>(FundListCaptions.begin(), FundListCaptions.end()));
    for (const ListRow& row : rows) {
        std::vector<std::string> fields;
        for (const Text& cell : row)
            fields.push_back(TextToUtf8(cell));
        csv += CsvLine(fields);
    }
    return csv;
}

} // namespace fundlens
