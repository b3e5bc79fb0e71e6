// The search box and its suggestion list.
#pragma once

#include "shell/async.h"
#include "text/text.h"

namespace fundlens {

// Got focus on 搜索框: the box is emptied (hint gone) and its text turns black.
void SearchBoxFocused();

// Content changed on 搜索框 to `content`: asks the portal for the funds matching it and shows
// them in 超级列表框1, one per line, the list (n + 1) × 32 pixels high; an empty box hides the
// list. The latest text wins: a search overtaken by a newer keystroke writes nothing.
Loader LoadSuggestions(Text content);

} // namespace fundlens
