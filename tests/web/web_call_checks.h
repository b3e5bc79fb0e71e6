// Checks of the out fields of a WebRequest call, shared by the web tests.
#pragma once

#include "web/web_request.h"

#include <gtest/gtest.h>
#include <string>

namespace fundlens::test {

// Out fields preset so that a test can see which ones a call wrote.
inline WebCall CallWithSentinels(const std::string& url) {
    WebCall call;
    call.url = url;
    call.newCookies = "keep-nc";
    call.responseHeaders = "keep-rh";
    call.location = "keep-loc";
    call.bodyBytes = {1, 2, 3};
    return call;
}

inline void ExpectOutFieldsUntouched(const WebCall& call) {
    EXPECT_EQ(call.newCookies, "keep-nc");
    EXPECT_EQ(call.responseHeaders, "keep-rh");
    EXPECT_EQ(call.location, "keep-loc");
    EXPECT_EQ(call.bodyBytes, (Bytes{1, 2, 3}));
}

} // namespace fundlens::test
