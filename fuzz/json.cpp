// The JSON reader: an answer parsed, read at the paths the cuts use, and written back.
#include "fuzz/fuzz_input.h"
#include "text/json_document.h"

#include <vector>

namespace fundlens {
namespace {

// Paths of the shapes the cuts read, and the forms of the path syntax.
constexpr const char* Paths[] = {
    "",      "datas",          "datas[0]",        "allPages",   "Datas[1]['_id']", "Datas[0].NAME",
    "[0]",   "data.diff",      "data.diff[2].f3", "[0].f12",    "length",          "datas.length",
    "a.b.c", "Datas[\"_id\"]", "[4294967296]",    "x[-1].y['']"};

void Read(const Text& text) {
    JsonDocument document;
    if (!document.Parse(text))
        return;
    std::vector<Text> keys;
    for (const char* path : Paths) {
        document.GetText(path);
        document.GetText(path, true);
        document.Count(path);
        document.TypeOf(path);
        document.Keys(path, keys);
    }
    document.Stringify();
}

} // namespace
} // namespace fundlens

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fundlens::Text answer = fundlens::fuzz::Answer(data, size);
    fundlens::Read(answer);
    fundlens::Read(fundlens::Utf8ToText(answer));
    return 0;
}
