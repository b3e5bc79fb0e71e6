// CSV files as spreadsheets write them: the bytes' charset decided, then RFC 4180 records.
#pragma once

#include "text/text.h"

#include <string_view>
#include <vector>

namespace fundlens {

// True when `bytes` are well-formed UTF-8 (no overlong forms, surrogates or values above
// U+10FFFF, nothing cut short).
bool IsUtf8(std::string_view bytes);

// GBK text of a file's bytes: a UTF-8 byte-order mark or well-formed UTF-8 is read as UTF-8
// (the mark dropped), anything else is taken to be GBK already.
Text CsvBytesToText(std::string_view bytes);

struct CsvRecord {
    int line = 0; // the line the record starts on, from 1
    std::vector<Text> fields;
};

struct CsvProblem {
    int line = 0;
    Text why; // GBK
};

struct CsvTable {
    std::vector<CsvRecord> records; // every well-formed record, blank lines included
    std::vector<CsvProblem> problems;
};

// Records separated by CR LF, LF or CR; fields by commas; a field that begins with a double
// quote runs to the closing quote and may hold commas, line breaks and doubled quotes. Text
// after a closing quote makes its record a problem (the rest of that line is skipped); a quote
// left open ends the reading with a problem at the line it opened on.
CsvTable ParseCsv(std::string_view text);

} // namespace fundlens
