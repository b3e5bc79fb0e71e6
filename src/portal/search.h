// The portal's search-suggestion endpoint: the key a typed text is sent as, the endpoint's
// address, and the suggestions cut out of its answer.
#pragma once

#include "text/text.h"

#include <vector>

namespace fundlens {

// The JSONP callback name the endpoint is asked for; the answer is unwrapped at it.
inline constexpr const char* SearchCallback = "jQuery18304481644478480933_1628571546744";

// Height of one line of the suggestion list, in pixels; the list is one line taller than
// its suggestions.
inline constexpr int SuggestionLineHeight = 32;

// One suggested fund (GBK texts).
struct Suggestion {
    Text code; // "_id": six digits
    Text name; // "NAME"
};

// The key for a typed text: its UTF-8 bytes, letters, digits, '-' and '.' as they are, every
// other byte as %XX in upper case ("白" gives "%E7%99%BD", "_" gives "%5F").
Text SearchKey(const Text& content);

// The endpoint's URL for a key made by SearchKey.
Text SuggestionUrl(const Text& key);

// The suggestions of an answer (UTF-8 bytes as received), in the answer's order. The object is
// taken from the callback's opening parenthesis up to the first "]})", so an answer whose
// "Datas" array is not its last member, a broken answer, or a failed fetch gives none; so does
// a "Datas" that is not an array.
std::vector<Suggestion> CutSuggestions(const Text& answer);

// Height of the suggestion list for `count` suggestions.
int SuggestionListHeight(int count);

} // namespace fundlens
