#include "web/cookies.h"

#include <string_view>
#include <unordered_set>

namespace fundlens {
namespace {

constexpr std::string_view DeletedMark = "=deleted";

bool IsGbkLeadByte(unsigned char b) {
    return b >= 0x81 && b <= 0xFE;
}

// The text without ASCII spaces and without the full-width GBK blank A1 A1. The text is
// walked character by character, so the A1 of one character and the A1 of the next are
// never taken for a blank.
Text RemoveBlanks(const Text& text) {
    Text out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (IsGbkLeadByte(b) && i + 1 < text.size()) {
            const auto trail = static_cast<unsigned char>(text[i + 1]);
            if (!(b == 0xA1 && trail == 0xA1))
                out.append(text, i, 2);
            i += 2;
            continue;
        }
        if (b != ' ')
            out += text[i];
        ++i;
    }
    return out;
}

// Items between separators; empty items in the middle stay, an empty remainder at the end
// does not.
std::vector<Text> SplitItems(const Text& text, std::string_view separator) {
    std::vector<Text> items = SplitText(text, separator);
    if (items.back().empty())
        items.pop_back();
    return items;
}

bool HasName(const std::vector<Text>& items, const Text& name) {
    for (const Text& item : items) {
        if (CookieName(item) == name)
            return true;
    }
    return false;
}

bool IsDeleted(const Text& item) {
    return item.size() >= DeletedMark.size() &&
           std::string_view(item).substr(item.size() - DeletedMark.size()) == DeletedMark;
}

} // namespace

Text CookieName(const Text& item) {
    return TrimBlanks(item.substr(0, item.find('=')));
}

bool CookieListHasName(const Text& list, const Text& name) {
    return HasName(SplitItems(list, ";"), name);
}

int FindItem(const std::vector<Text>& list, const Text& text) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i] == text)
            return static_cast<int>(i) + 1;
    }
    return -1;
}

Text RemoveDuplicateItems(const Text& text, const Text& separator) {
    if (separator.empty())
        return text;
    // A set of the items seen: an answer may carry thousands of cookies.
    std::unordered_set<Text> seen;
    Text joined;
    for (Text& item : SplitItems(text, separator)) {
        if (!seen.insert(item).second)
            continue;
        if (seen.size() > 1)
            joined += separator;
        joined += item;
    }
    return joined;
}

Text MergeCookies(Text& oldCookies, Text& newCookies) {
    oldCookies = RemoveBlanks(oldCookies);
    newCookies = RemoveBlanks(newCookies);

    // New values win; old cookies the answer did not mention follow the new ones. The names
    // taken are kept in a set: an answer may carry thousands of cookies.
    std::vector<Text> merged = SplitItems(newCookies, ";");
    std::unordered_set<Text> names;
    for (const Text& item : merged)
        names.insert(CookieName(item));
    for (Text& item : SplitItems(oldCookies, ";")) {
        if (names.insert(CookieName(item)).second)
            merged.push_back(std::move(item));
    }

    Text joined;
    bool first = true;
    for (const Text& item : merged) {
        if (IsDeleted(item))
            continue;
        if (!first)
            joined += "; ";
        joined += item;
        first = false;
    }
    oldCookies = RemoveDuplicateItems(joined, "; ");
    return oldCookies;
}

} // namespace fundlens
