// A fund's net-value page on the F10 host and the net-value chart image it names.
#pragma once

#include "text/text.h"

namespace fundlens {

// "jjjz_" + code + ".html" on the F10 host.
Text NetValuePageUrl(const Text& code);

// The source attribute of the page's net-value chart image (a scheme-relative address such as
// "//host/img/jjjz/005669.png"); empty when the page does not carry it.
Text CutNetValueImageSource(const Text& page);

// The address the image is downloaded from: "http:" + source; empty for an empty source (there
// is nothing to download).
Text NetValueImageUrl(const Text& source);

} // namespace fundlens
