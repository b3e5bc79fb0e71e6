// The portal's HTTP server: cpp-httplib with its own connection loop, so that every request
// head is recorded as it arrived (header lines in order) and an answer can be dropped by
// closing the connection before a byte of it is written.
#pragma once

#include <atomic>
#include <functional>
#include <httplib.h>
#include <string>
#include <string_view>

namespace fundlens::demo {

// One client connection: buffered reads that remember the bytes of the current request head,
// and writes that end once the connection has been dropped. Waits check the portal's stop
// flag so that a stop never waits for an idle or slow client.
class ConnectionStream final : public httplib::Stream {
public:
    ConnectionStream(int socket, const std::atomic<bool>& stopping, int readTimeoutMs,
                     int writeTimeoutMs);

    bool is_readable() const override;
    bool is_writable() const override;
    ssize_t read(char* ptr, size_t size) override;
    ssize_t write(const char* ptr, size_t size) override;
    void get_remote_ip_and_port(std::string& ip, int& port) const override;
    void get_local_ip_and_port(std::string& ip, int& port) const override;
    int socket() const override { return m_socket; }

    // Waits up to `timeoutMs` for the next request; false on timeout, stop, or a closed
    // connection.
    bool WaitForRequest(int timeoutMs) const;

    void StartCapture();
    std::string TakeCapture();

    // Shuts the connection down; nothing more is read or written.
    void Drop();
    bool Dropped() const { return m_dropped; }

private:
    // Polls for `events` up to `timeoutMs`, in short slices that watch the stop flag.
    bool Wait(short events, int timeoutMs) const;

    int m_socket;
    const std::atomic<bool>& m_stopping;
    int m_readTimeoutMs;
    int m_writeTimeoutMs;
    std::string m_buffer;
    std::size_t m_offset = 0;
    bool m_capturing = false;
    std::string m_capture;
    bool m_dropped = false;
};

// The connection the calling server thread is answering on.
struct CurrentConnection {
    // Drops it; does nothing outside a request.
    static void Drop();
};

class PortalServer final : public httplib::Server {
public:
    using HeadCallback = std::function<void(const httplib::Request&, std::string_view head)>;

    PortalServer(const std::atomic<bool>& stopping, HeadCallback onHead)
        : m_stopping(stopping), m_onHead(std::move(onHead)) {}

private:
    // The keep-alive loop of one connection.
    bool process_and_close_socket(socket_t sock) override;

    const std::atomic<bool>& m_stopping;
    HeadCallback m_onHead;
};

} // namespace fundlens::demo
