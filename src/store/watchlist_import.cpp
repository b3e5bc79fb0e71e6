#include "store/watchlist_import.h"

#include "store/input_checks.h"
#include "store/store_messages.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace fundlens {

namespace {

constexpr const char* CodeColumn = "基金代码";
constexpr const char* SharesColumn = "持有份额";
constexpr const char* CostColumn = "持仓成本";
constexpr std::size_t ReadChunk = 64 * 1024;

struct Columns {
    std::size_t code = 0, shares = 0, cost = 0;
    std::size_t count = 0; // the header's fields
};

Text Trimmed(const Text& field) {
    return TrimBlanks(field, " \t");
}

bool IsBlank(const CsvRecord& record) {
    return std::all_of(record.fields.begin(), record.fields.end(),
                       [](const Text& field) { return Trimmed(field).empty(); });
}

const Text& FieldAt(const CsvRecord& record, std::size_t index) {
    static const Text none;
    return index < record.fields.size() ? record.fields[index] : none;
}

// Finds the three columns in the header; false with problems at its line when one is missing
// or named twice.
bool FindColumns(const CsvRecord& header, Columns& columns, std::vector<CsvProblem>& problems) {
    const std::pair<const char*, std::size_t*> wanted[] = {
        {CodeColumn, &columns.code}, {SharesColumn, &columns.shares}, {CostColumn, &columns.cost}};
    bool found = true;
    columns.count = header.fields.size();
    for (const auto& [utf8, index] : wanted) {
        const Text name = Utf8ToText(utf8);
        int seen = 0;
        for (std::size_t i = 0; i < header.fields.size(); ++i) {
            if (Trimmed(header.fields[i]) == name && seen++ == 0)
                *index = i;
        }
        if (seen != 1) {
            problems.push_back({header.line, seen == 0
                                                 ? "表头缺少“"_gbk + name + "”列"_gbk
                                                 : "表头中“"_gbk + name + "”列出现了多次"_gbk});
            found = false;
        }
    }
    return found;
}

Text CodeProblem(const Text& code) {
    Text why = CheckFundCode(code);
    const bool digits = !code.empty() && code.find_first_not_of("0123456789") == Text::npos;
    if (!why.empty() && digits && code.size() < 6)
        why += "（表格软件可能去掉了开头的 0）"_gbk;
    return why;
}

// The number in a field, or a problem naming its column.
std::optional<double> FigureOf(const Text& field, const char* column, int line,
                               std::vector<CsvProblem>& problems) {
    const ParsedNumber number = ParseNumber(field);
    const Text name = Utf8ToText(column);
    if (!number.value)
        problems.push_back({line, name + "："_gbk + number.why});
    else if (*number.value < 0)
        problems.push_back({line, name + "不能为负数"_gbk});
    else
        return number.value;
    return std::nullopt;
}

// Values beyond the header's columns: most often "1,000" written without quotes, which would
// shift every later value of the row into the wrong column.
bool HasValuesBeyond(const CsvRecord& record, std::size_t count) {
    for (std::size_t i = count; i < record.fields.size(); ++i) {
        if (!Trimmed(record.fields[i]).empty())
            return true;
    }
    return false;
}

void ReadRow(const CsvRecord& record, const Columns& columns, std::map<Text, int>& seen,
             ImportFile& file) {
    if (HasValuesBeyond(record, columns.count)) {
        file.problems.push_back(
            {record.line, "这一行的值比表头的列多（带逗号的数字请用英文双引号括起来）"_gbk});
        return;
    }
    const Text code = Trimmed(FieldAt(record, columns.code));
    const std::size_t before = file.problems.size();
    if (Text why = CodeProblem(code); !why.empty())
        file.problems.push_back({record.line, why});
    else if (const auto [first, added] = seen.emplace(code, record.line); !added)
        file.problems.push_back({record.line, "基金代码 "_gbk + code + " 与第 "_gbk +
                                                  std::to_string(first->second) + " 行重复"_gbk});
    const auto shares =
        FigureOf(FieldAt(record, columns.shares), SharesColumn, record.line, file.problems);
    const auto cost =
        FigureOf(FieldAt(record, columns.cost), CostColumn, record.line, file.problems);
    if (file.problems.size() == before)
        file.rows.push_back({record.line, code, *shares, *cost});
}

Text CannotRead(const std::string& path, const Text& why) {
    return Utf8ToText("无法读取文件：") + PathText(path) + "（"_gbk + why + "）"_gbk;
}

// The whole file, or false with a message. O_NONBLOCK: a named pipe given by mistake must not
// hang the program before it is found to be no regular file.
bool ReadWholeFile(const std::string& path, std::string& bytes, Text& why) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        why = CannotRead(path, ErrnoText(errno));
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        why = CannotRead(path, "这不是一个普通文件"_gbk);
        return false;
    }
    char chunk[ReadChunk];
    ssize_t got = 0;
    while (bytes.size() <= MaxImportBytes && (got = ::read(fd, chunk, sizeof chunk)) > 0)
        bytes.append(chunk, static_cast<std::size_t>(got));
    const int error = errno;
    ::close(fd);
    if (got < 0)
        why = CannotRead(path, ErrnoText(error));
    else if (bytes.size() > MaxImportBytes)
        why = Utf8ToText("文件太大，不像是持仓文件：") + PathText(path);
    return why.empty();
}

ImportReport Failed(Text message, std::vector<Text> problems = {}) {
    return {false, 0, std::move(problems), std::move(message)};
}

} // namespace

ImportFile ReadImportCsv(std::string_view bytes) {
    const CsvTable table = ParseCsv(CsvBytesToText(bytes));
    ImportFile file;
    file.problems = table.problems;
    auto record = std::find_if_not(table.records.begin(), table.records.end(), IsBlank);
    Columns columns;
    if (record == table.records.end()) {
        if (file.problems.empty())
            file.problems.push_back({0, "文件中没有表头行（基金代码、持有份额、持仓成本）"_gbk});
    } else if (FindColumns(*record, columns, file.problems)) {
        std::map<Text, int> seen;
        for (++record; record != table.records.end(); ++record) {
            if (!IsBlank(*record))
                ReadRow(*record, columns, seen, file);
        }
    }
    std::stable_sort(file.problems.begin(), file.problems.end(),
                     [](const CsvProblem& a, const CsvProblem& b) { return a.line < b.line; });
    return file;
}

ImportReport ImportWatchlistCsv(WatchlistStore& store, const std::string& csvPath, const Text& date,
                                const ImportProgress& progress) {
    std::string bytes;
    Text why;
    if (!ReadWholeFile(csvPath, bytes, why))
        return Failed(why);
    const ImportFile file = ReadImportCsv(bytes);
    if (!file.problems.empty()) {
        std::vector<Text> lines;
        for (const CsvProblem& problem : file.problems)
            lines.push_back(LineMessage(problem.line, problem.why));
        return Failed("文件中有 "_gbk + std::to_string(lines.size()) +
                          " 处错误，没有导入任何基金："_gbk + PathText(csvPath),
                      std::move(lines));
    }
    if (file.rows.empty())
        return Failed(Utf8ToText("文件中没有可导入的基金：") + PathText(csvPath));
    const StoreResult result = store.ImportPositions(file.rows, date, progress);
    if (!result)
        return Failed(result.message);
    return {true,
            file.rows.size(),
            {},
            "已导入 "_gbk + std::to_string(file.rows.size()) + " 只基金的持仓"_gbk};
}

} // namespace fundlens
