// Cookie strings "name=value; name=value" and their merge.
#pragma once

#include "text/text.h"

namespace fundlens {

// Merges `newCookies` into `oldCookies` (new values win, deleted ones dropped, blanks
// removed). Both are rewritten; returns a copy of the merged string.
Text MergeCookies(Text& oldCookies, Text& newCookies);

// The text before the first '=', trimmed; an item without '=' is its own name.
Text CookieName(const Text& item);

// True when some item of `list` (separated by ';') has exactly `name`.
bool CookieListHasName(const Text& list, const Text& name);

// Drops items equal to an earlier item; joins with `separator`.
Text RemoveDuplicateItems(const Text& text, const Text& separator);

// 1-based index of the first item of `list` equal to `text`, or -1.
int FindItem(const std::vector<Text>& list, const Text& text);

} // namespace fundlens
