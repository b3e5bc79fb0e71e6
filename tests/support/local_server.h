// A small HTTP server of a test's own, for answers the demo portal does not give: one handler
// for every GET, on 127.0.0.1 and a free port, until destroyed.
#pragma once

#include <functional>
#include <httplib.h>
#include <string>
#include <thread>

namespace fundlens::test {

class LocalServer {
public:
    using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;

    explicit LocalServer(Handler handler);
    ~LocalServer();
    LocalServer(const LocalServer&) = delete;
    LocalServer& operator=(const LocalServer&) = delete;

    std::string Base() const { return "http://127.0.0.1:" + std::to_string(m_port); }

private:
    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
};

} // namespace fundlens::test
