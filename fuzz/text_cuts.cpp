// The text cuts: markers, a start position, flags and a charset name, then the answer.
#include "fuzz/fuzz_input.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace fundlens {
namespace {

constexpr std::size_t MaxMarker = 32;

void Cut(const Text& text, const Text& left, const Text& right, int start, bool flag) {
    TextBetween(text, left, right, start, flag);
    TextBeforeFirst(text, left);
    TextAfterLast(text, right);
    ReplaceAll(text, left, right);
    FindText(text, left, 0, flag);
    TextToNumber(text);
    UrlEncode(text, flag, !flag);
}

} // namespace
} // namespace fundlens

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace fundlens;
    FuzzedDataProvider input(data, size);
    const Text left = input.ConsumeRandomLengthString(MaxMarker);
    const Text right = input.ConsumeRandomLengthString(MaxMarker);
    const std::string charset = input.ConsumeRandomLengthString(MaxMarker);
    const int start = input.ConsumeIntegral<int>();
    const bool flag = input.ConsumeBool();
    const Text answer = input.ConsumeRemainingBytesAsString();

    Cut(answer, left, right, start, flag);
    const Text converted = Utf8ToText(answer);
    Cut(converted, left, right, start, flag);
    TextToUtf8(answer);
    Text decoded;
    CharsetToText(answer, charset, decoded);
    CharsetToText(answer, flag ? "utf-16" : "big5", decoded);
    return 0;
}
