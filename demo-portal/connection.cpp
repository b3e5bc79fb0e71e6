#include "demo-portal/connection.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace fundlens::demo {

namespace {

constexpr int WaitSliceMs = 50;
constexpr std::size_t ReadChunk = 4096;

thread_local ConnectionStream* t_connection = nullptr;

void Address(const sockaddr_storage& address, std::string& ip, int& port) {
    char text[INET6_ADDRSTRLEN] = {};
    if (address.ss_family == AF_INET) {
        const auto* a = reinterpret_cast<const sockaddr_in*>(&address);
        inet_ntop(AF_INET, &a->sin_addr, text, sizeof text);
        port = ntohs(a->sin_port);
    } else if (address.ss_family == AF_INET6) {
        const auto* a = reinterpret_cast<const sockaddr_in6*>(&address);
        inet_ntop(AF_INET6, &a->sin6_addr, text, sizeof text);
        port = ntohs(a->sin6_port);
    }
    ip = text;
}

} // namespace

ConnectionStream::ConnectionStream(int socket, const std::atomic<bool>& stopping, int readTimeoutMs,
                                   int writeTimeoutMs)
    : m_socket(socket), m_stopping(stopping), m_readTimeoutMs(readTimeoutMs),
      m_writeTimeoutMs(writeTimeoutMs) {}

bool ConnectionStream::Wait(short events, int timeoutMs) const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (m_dropped) {
            return false;
        }
        pollfd p{m_socket, events, 0};
        const int rc = ::poll(&p, 1, WaitSliceMs);
        if (rc > 0) {
            return (p.revents & (events | POLLHUP)) != 0 && (p.revents & POLLNVAL) == 0;
        }
        if (rc < 0 && errno != EINTR) {
            return false;
        }
        if (m_stopping || std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
    }
}

bool ConnectionStream::is_readable() const {
    return m_offset < m_buffer.size() || Wait(POLLIN, m_readTimeoutMs);
}

bool ConnectionStream::is_writable() const {
    return !m_dropped && Wait(POLLOUT, m_writeTimeoutMs);
}

bool ConnectionStream::WaitForRequest(int timeoutMs) const {
    return m_offset < m_buffer.size() || Wait(POLLIN, timeoutMs);
}

ssize_t ConnectionStream::read(char* ptr, size_t size) {
    if (m_dropped) {
        return -1;
    }
    if (m_offset >= m_buffer.size()) {
        if (!Wait(POLLIN, m_readTimeoutMs)) {
            return -1;
        }
        m_buffer.resize(ReadChunk);
        ssize_t n = 0;
        do {
            n = ::recv(m_socket, m_buffer.data(), m_buffer.size(), 0);
        } while (n < 0 && errno == EINTR);
        if (n <= 0) {
            m_buffer.clear();
            m_offset = 0;
            return n;
        }
        m_buffer.resize(static_cast<std::size_t>(n));
        m_offset = 0;
    }
    const std::size_t count = std::min(size, m_buffer.size() - m_offset);
    std::copy_n(m_buffer.data() + m_offset, count, ptr);
    if (m_capturing) {
        m_capture.append(m_buffer.data() + m_offset, count);
    }
    m_offset += count;
    return static_cast<ssize_t>(count);
}

ssize_t ConnectionStream::write(const char* ptr, size_t size) {
    if (!is_writable()) {
        return -1;
    }
    ssize_t n = 0;
    do {
        n = ::send(m_socket, ptr, size, MSG_NOSIGNAL);
    } while (n < 0 && errno == EINTR);
    return n;
}

void ConnectionStream::get_remote_ip_and_port(std::string& ip, int& port) const {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (::getpeername(m_socket, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        Address(address, ip, port);
    }
}

void ConnectionStream::get_local_ip_and_port(std::string& ip, int& port) const {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        Address(address, ip, port);
    }
}

void ConnectionStream::StartCapture() {
    m_capture.clear();
    m_capturing = true;
}

std::string ConnectionStream::TakeCapture() {
    m_capturing = false;
    return std::move(m_capture);
}

void ConnectionStream::Drop() {
    if (!m_dropped) {
        m_dropped = true;
        ::shutdown(m_socket, SHUT_RDWR);
    }
}

void CurrentConnection::Drop() {
    if (t_connection) {
        t_connection->Drop();
    }
}

bool PortalServer::process_and_close_socket(socket_t sock) {
    const int readMs = static_cast<int>(read_timeout_sec_ * 1000 + read_timeout_usec_ / 1000);
    const int writeMs = static_cast<int>(write_timeout_sec_ * 1000 + write_timeout_usec_ / 1000);
    const int keepAliveMs = static_cast<int>(keep_alive_timeout_sec_ * 1000);
    ConnectionStream stream(sock, m_stopping, readMs, writeMs);
    bool ok = true;
    for (std::size_t left = keep_alive_max_count_; left > 0 && !m_stopping; --left) {
        if (!stream.WaitForRequest(keepAliveMs)) {
            break;
        }
        bool connectionClosed = false;
        stream.StartCapture();
        t_connection = &stream;
        ok = process_request(stream, left == 1, connectionClosed, [&](httplib::Request& req) {
            const std::string head = stream.TakeCapture();
            if (m_onHead) {
                m_onHead(req, head);
            }
        });
        t_connection = nullptr;
        if (!ok || connectionClosed || stream.Dropped()) {
            break;
        }
    }
    ::shutdown(sock, SHUT_RDWR);
    ::close(sock);
    return ok;
}

} // namespace fundlens::demo
