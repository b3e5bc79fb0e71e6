// The positions import: a CSV file with a header row naming 基金代码, 持有份额 and 持仓成本 (in
// any order, other columns ignored), in UTF-8 with or without a byte-order mark, or GBK. Every
// row sets one fund's position; the file goes in whole or not at all.
#pragma once

#include "store/csv_reader.h"
#include "store/watchlist_store.h"
#include "text/text.h"

#include <string>
#include <string_view>
#include <vector>

namespace fundlens {

// Largest file the import reads.
inline constexpr std::size_t MaxImportBytes = 16 * 1024 * 1024;

struct ImportFile {
    std::vector<ImportRow> rows;      // the sound rows, in file order
    std::vector<CsvProblem> problems; // every bad row, by line (line 0: the file as a whole)
};

// Reads the rows of a positions file's bytes. Blank lines (and rows of blank fields) are
// skipped; a row is bad for a code that is not six digits, a share count or cost that is no
// number or negative, a code an earlier row has, or values beyond the header's columns (a
// "1,000" left unquoted); empty fields beyond them are fine.
ImportFile ReadImportCsv(std::string_view bytes);

struct ImportReport {
    bool ok = false;
    std::size_t imported = 0;
    std::vector<Text> problems; // GBK, one line each ("第 4 行：…"), in line order
    Text message;               // GBK: what happened, one line
};

// Reads `csvPath` and imports its rows dated `date` ("YYYY-MM-DD", the import day): all of them
// in one transaction, or none when any row is bad or the write fails.
ImportReport ImportWatchlistCsv(WatchlistStore& store, const std::string& csvPath, const Text& date,
                                const ImportProgress& progress = {});

} // namespace fundlens
