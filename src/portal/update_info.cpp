#include "portal/update_info.h"

namespace fundlens {

namespace {

const Text& StartMarker() {
    static const Text marker =
        "<input type=\"text\" name=\"realname\" id=\"realname\" class=\"px\" value=\"版本"_gbk;
    return marker;
}

const Text& EndMarker() {
    static const Text marker =
        "\" tabindex=\"1\" /><div class=\"rq mtn\" id=\"showerror_realname\">"_gbk;
    return marker;
}

const Text& Separator() {
    static const Text separator = "链接"_gbk;
    return separator;
}

} // namespace

UpdateInfo CutUpdateInfo(const Text& page) {
    const Text value = TextBetween(page, StartMarker(), EndMarker());
    return UpdateInfo{TextBeforeFirst(value, Separator()), TextAfterLast(value, Separator())};
}

} // namespace fundlens
