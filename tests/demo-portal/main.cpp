// The demo portal's tests: a GUI application (chart labels need fonts) and one shared portal.
#include "portal_test_support.h"

#include <QGuiApplication>
#include <gtest/gtest.h>
#include <memory>

namespace fundlens::demo::test {

namespace {

std::unique_ptr<DemoPortal> g_portal;

class PortalEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        PortalOptions options;
        options.date = MarketDay;
        g_portal = std::make_unique<DemoPortal>(options);
        ASSERT_TRUE(g_portal->Start());
    }
    void TearDown() override { g_portal.reset(); }
};

} // namespace

DemoPortal& Portal() {
    return *g_portal;
}

const Universe& Market() {
    return g_portal->universe();
}

std::string Url(std::string_view pathAndQuery, const DemoPortal& portal) {
    return portal.BaseUrl() + std::string(pathAndQuery);
}

Text FetchPage(std::string_view pathAndQuery) {
    return WebRequest(Url(pathAndQuery));
}

Text FetchData(std::string_view pathAndQuery) {
    return Utf8ToText(WebRequest(Url(pathAndQuery)));
}

} // namespace fundlens::demo::test

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new fundlens::demo::test::PortalEnvironment);
    return RUN_ALL_TESTS();
}
