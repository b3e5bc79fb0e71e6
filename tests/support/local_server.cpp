#include "support/local_server.h"

#include <chrono>

namespace fundlens::test {

LocalServer::LocalServer(Handler handler) {
    m_server.Get(".*", std::move(handler));
    m_server.set_keep_alive_max_count(1); // no idle connection holds the stop
    m_port = m_server.bind_to_any_port("127.0.0.1");
    m_thread = std::thread([this] { m_server.listen_after_bind(); });
    while (!m_server.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

LocalServer::~LocalServer() {
    m_server.stop();
    m_thread.join();
}

} // namespace fundlens::test
