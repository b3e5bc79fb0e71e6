// The update-information page: the announced version and download link.
#pragma once

#include "text/text.h"

namespace fundlens {

// What the page announces.
struct UpdateInfo {
    Text version; // empty when the page carries no usable field
    Text link;
};

// Cuts the announced version and download link out of the page text (GBK).
UpdateInfo CutUpdateInfo(const Text& page);

} // namespace fundlens
