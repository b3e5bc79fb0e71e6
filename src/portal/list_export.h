// A ranking list fetched whole, without a window, and written as CSV: what `fundlens --export`
// does. The same requests and cuts as the fund list's loaders, the pages fetched together.
#pragma once

#include "portal/rank_record.h"
#include "text/text.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace fundlens {

// Which list, in which order.
struct ListExportRequest {
    bool fiveStar = true;
    int sectorCode = 0;
    std::string sectorCaption; // UTF-8
    Text sortKey;              // empty: the list's default order
    Text sortOrder;            // "desc" or "asc" with a key
};

// "five-star", "sector:CODE" (a code of the sector table) or "sector:CAPTION" (UTF-8).
bool ParseExportList(const std::string& list, ListExportRequest& request, std::string& error);

// "KEY[:asc|desc]": KEY a sort key of the fund list ("r", "z", "1y" … "3n") or the caption of a
// return column ("近1周"); the order is descending unless asked otherwise.
bool ParseExportSort(const std::string& sort, ListExportRequest& request, std::string& error);

using ListRow = std::array<Text, FundListColumns>; // GBK cells as the fund list shows them

struct ListExport {
    bool ok = false;
    std::vector<ListRow> rows;
    Text failure; // GBK, the list's failure text when not ok
};

// Called after each page has arrived: pages done, pages in all.
using ExportProgress = std::function<void(int done, int total)>;

// Fetches the list: the probe, then every page, at most `pagesAtOnce` at a time. A page that
// fails (after its one retry) fails the whole export; so does a list without any record.
ListExport FetchListForExport(const ListExportRequest& request, const ExportProgress& progress,
                              int pagesAtOnce = 8);

// What a CSV file the program writes begins with.
inline constexpr const char* Utf8ByteOrderMark = "\xEF\xBB\xBF";

// A CSV field (UTF-8): quoted when it holds a comma, a quote or a line break, quotes doubled.
std::string CsvField(const std::string& value);

// One CSV record: the fields quoted as needed, joined with commas, ended with CR LF.
std::string CsvLine(const std::vector<std::string>& fields);

// The rows as CSV: a UTF-8 byte-order mark, the fund list's header line, one line per row;
// RFC 4180 quoting, CR LF line ends.
std::string ListCsv(const std::vector<ListRow>& rows);

} // namespace fundlens
