// Local servers the web tests talk to: cpp-httplib (plain and TLS, with a CA made at test
// time) and a raw socket server that records the request bytes exactly as they arrived.
#pragma once

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <httplib.h>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace fundlens::test {

using namespace std::chrono_literals;

// Polls `done` until it holds or the deadline passes.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds deadline = 5s);

// A port on 127.0.0.1 with nothing listening.
int ClosedPort();

// Lets stalled handlers go at once when a test ends, so servers stop without waiting.
class Gate {
public:
    // Waits up to `duration`; returns early (false) when the gate is opened.
    bool Wait(std::chrono::milliseconds duration);
    void Open();

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_open = false;
};

// Runs a configured httplib server on 127.0.0.1, a free port, until destroyed.
class HttpServer {
public:
    explicit HttpServer(std::unique_ptr<httplib::Server> server);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    int Port() const { return m_port; }
    std::string Url(const std::string& path) const; // scheme from the server kind

private:
    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
    int m_port = 0;
    bool m_tls = false;
};

// A test certificate authority and a server certificate for 127.0.0.1 and localhost.
class TestCa {
public:
    TestCa();
    ~TestCa();
    TestCa(const TestCa&) = delete;
    TestCa& operator=(const TestCa&) = delete;

    const std::string& CaPemPath() const { return m_caPem; }
    std::unique_ptr<httplib::SSLServer> MakeServer() const;

private:
    std::filesystem::path m_dir;
    std::string m_caPem;
    struct Keys;
    std::unique_ptr<Keys> m_keys;
};

// One answer of the raw server: bytes written as they are; `close` ends the connection.
struct RawAnswer {
    std::string bytes;
    bool close = false;
};

// Accepts connections, reads each request (head and Content-Length body), records it and
// writes the scripted answer. Keeps connections alive unless an answer says close.
class RawServer {
public:
    using Script = std::function<RawAnswer(const std::string& request)>;
    explicit RawServer(Script script);
    ~RawServer();
    RawServer(const RawServer&) = delete;
    RawServer& operator=(const RawServer&) = delete;

    int Port() const { return m_port; }
    std::string Url(const std::string& path) const;
    std::vector<std::string> Requests() const;
    std::string LastRequest() const;
    int Connections() const;

private:
    void AcceptLoop();
    void Serve(int fd);

    Script m_script;
    int m_listenFd = -1;
    int m_port = 0;
    std::thread m_acceptThread;
    mutable std::mutex m_mutex;
    std::vector<std::string> m_requests;
    std::vector<int> m_fds;
    std::vector<std::thread> m_threads;
    int m_connections = 0;
    bool m_stopping = false;
};

// The request's head lines (request line first), split at CR LF.
std::vector<std::string> RequestLines(const std::string& request);

// The request's body (after the blank line).
std::string RequestBody(const std::string& request);

// A complete answer with Content-Length, extra header lines each ending in CR LF.
std::string Answer(const std::string& statusLine, const std::string& headers,
                   const std::string& body);

} // namespace fundlens::test
