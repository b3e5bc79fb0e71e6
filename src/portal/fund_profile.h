// The fund's profile and manager pages: their addresses, the size text and the current
// managers with the return over their tenure.
#pragma once

#include "portal/rgb.h"
#include "text/text.h"

namespace fundlens {

// "jbgk_<code>.html " on the F10 host. The trailing blank is the portal's own; the request
// layer drops it.
Text ProfilePageUrl(const Text& code);

// "jjjl_<code>.html" on the F10 host.
Text ManagerPageUrl(const Text& code);

// The size text of a profile page (GBK): everything between the asset-size header cell and the
// share-size header, verbatim (it may still carry the closing cell tag). Empty when a marker is
// missing.
Text CutProfile(const Text& page);

// What the manager page says of the current team.
struct ManagerInfo {
    // One manager: the name; two or more: the first and the last joined by a full-width comma.
    Text managers;
    // Return over the current team's tenure, then the tenure: "12.34%（任期：3年又120天）".
    Text tenure;
    // Red when the return cell's class names "red", otherwise green.
    Rgb tenureColor = RgbGreen;
};

// Cuts the first row of the manager-history table from a manager page (GBK). An empty page or
// one without that table gives empty managers, "（任期：）" and green.
ManagerInfo CutManager(const Text& page);

} // namespace fundlens
