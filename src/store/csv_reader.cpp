#include "store/csv_reader.h"

namespace fundlens {

namespace {

constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";

unsigned char ByteAt(std::string_view s, std::size_t i) {
    return static_cast<unsigned char>(s[i]);
}

bool IsContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

// Length of the well-formed UTF-8 character at `i`; 0 when it is not one.
std::size_t Utf8CharLength(std::string_view s, std::size_t i) {
    const unsigned char b = ByteAt(s, i);
    if (b < 0x80)
        return 1;
    const std::size_t length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 ? 2 : 0;
    if (length == 0 || b > 0xF4 || i + length > s.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if (!IsContinuation(ByteAt(s, i + k)))
            return 0;
    }
    const unsigned char second = ByteAt(s, i + 1);
    if ((b == 0xE0 && second < 0xA0) || (b == 0xF0 && second < 0x90)) // overlong
        return 0;
    if ((b == 0xED && second >= 0xA0) || (b == 0xF4 && second >= 0x90)) // surrogate, too large
        return 0;
    return length;
}

bool IsLineEnd(char c) {
    return c == '\n' || c == '\r';
}

// Steps over one line break (CR LF, LF or CR) at `i`, counting the line.
void SkipLineEnd(std::string_view text, std::size_t& i, int& line) {
    if (i < text.size() && text[i] == '\r') {
        ++i;
        if (i < text.size() && text[i] == '\n')
            ++i;
    } else if (i < text.size() && text[i] == '\n') {
        ++i;
    }
    ++line;
}

// A quoted field from the opening quote at `i`; false when no closing quote follows.
bool ReadQuoted(std::string_view text, std::size_t& i, int& line, Text& field) {
    for (++i; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            if (i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
                continue;
            }
            ++i;
            return true;
        }
        if (c == '\n' || (c == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')))
            ++line;
        field += c;
    }
    return false;
}

void ReadPlain(std::string_view text, std::size_t& i, Text& field) {
    const std::size_t start = i;
    while (i < text.size() && text[i] != ',' && !IsLineEnd(text[i]))
        ++i;
    field.assign(text.substr(start, i - start));
}

enum class RecordEnd { Sound, StrayText, OpenQuote };

// One record from `i` up to and including its line break.
RecordEnd ReadRecord(std::string_view text, std::size_t& i, int& line, CsvRecord& record) {
    while (true) {
        Text field;
        if (i < text.size() && text[i] == '"') {
            if (!ReadQuoted(text, i, line, field))
                return RecordEnd::OpenQuote;
            if (i < text.size() && text[i] != ',' && !IsLineEnd(text[i])) {
                while (i < text.size() && !IsLineEnd(text[i]))
                    ++i;
                SkipLineEnd(text, i, line);
                return RecordEnd::StrayText;
            }
        } else {
            ReadPlain(text, i, field);
        }
        record.fields.push_back(std::move(field));
        if (i < text.size() && text[i] == ',') {
            ++i;
            continue;
        }
        SkipLineEnd(text, i, line);
        return RecordEnd::Sound;
    }
}

} // namespace

bool IsUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = Utf8CharLength(bytes, i);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

Text CsvBytesToText(std::string_view bytes) {
    if (bytes.starts_with(Utf8Bom) || IsUtf8(bytes))
        return Utf8ToText(bytes); // drops the mark
    return Text(bytes);
}

CsvTable ParseCsv(std::string_view text) {
    CsvTable table;
    std::size_t i = 0;
    int line = 1;
    while (i < text.size()) {
        CsvRecord record;
        record.line = line;
        switch (ReadRecord(text, i, line, record)) {
        case RecordEnd::Sound:
            table.records.push_back(std::move(record));
            break;
        case RecordEnd::StrayText:
            table.problems.push_back({record.line, "引号结束后还有多余的字符"_gbk});
            break;
        case RecordEnd::OpenQuote:
            table.problems.push_back({record.line, "引号没有配对，从这一行起的内容无法读取"_gbk});
            return table;
        }
    }
    return table;
}

} // namespace fundlens
