#include "portal/net_value_page.h"

#include "portal/profile.h"

namespace fundlens {

namespace {

// Blanks between the list's opening line and the image tag, as the page is laid out.
constexpr std::size_t ImageIndent = 44;

const Text& ImageStart() {
    static const Text marker = "<div class=\"listcomm jz_list\">\r\n" + Text(ImageIndent, ' ') +
                               "<img id=\"jzpng\" src=\"";
    return marker;
}

constexpr const char* ImageEnd = "\" onerror=\"";

} // namespace

Text NetValuePageUrl(const Text& code) {
    return PortalUrl(PortalHost::F10, "jjjz_" + code + ".html");
}

Text CutNetValueImageSource(const Text& page) {
    return TextBetween(page, ImageStart(), ImageEnd);
}

Text NetValueImageUrl(const Text& source) {
    return source.empty() ? Text() : "http:" + source;
}

} // namespace fundlens
