#include "test_servers.h"

#include <arpa/inet.h>
#include <cstdio>
#include <netinet/in.h>
#include <openssl/ec.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>
#include <random>
#include <stdexcept>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

namespace fundlens::test {

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds deadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

namespace {

int ListenOnLoopback(int& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 16) != 0)
        throw std::runtime_error("cannot listen on 127.0.0.1");
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return fd;
}

} // namespace

int ClosedPort() {
    int port = 0;
    const int fd = ListenOnLoopback(port);
    ::close(fd);
    return port;
}

bool Gate::Wait(std::chrono::milliseconds duration) {
    std::unique_lock lock(m_mutex);
    return !m_cv.wait_for(lock, duration, [this] { return m_open; });
}

void Gate::Open() {
    {
        std::lock_guard lock(m_mutex);
        m_open = true;
    }
    m_cv.notify_all();
}

// ---------------------------------------------------------------- HttpServer

HttpServer::HttpServer(std::unique_ptr<httplib::Server> server) : m_server(std::move(server)) {
    m_tls = dynamic_cast<httplib::SSLServer*>(m_server.get()) != nullptr;
    // Idle kept-alive connections are dropped at once, so that stopping never waits for them.
    m_server->set_keep_alive_timeout(0);
    m_port = m_server->bind_to_any_port("127.0.0.1");
    if (m_port <= 0)
        throw std::runtime_error("cannot bind the test server");
    m_thread = std::thread([this] { m_server->listen_after_bind(); });
    if (!WaitUntil([this] { return m_server->is_running(); }))
        throw std::runtime_error("test server did not start");
}

HttpServer::~HttpServer() {
    m_server->stop();
    m_thread.join();
}

std::string HttpServer::Url(const std::string& path) const {
    return (m_tls ? "https://127.0.0.1:" : "http://127.0.0.1:") + std::to_string(m_port) + path;
}

// ---------------------------------------------------------------- TestCa

struct TestCa::Keys {
    EVP_PKEY* caKey = nullptr;
    X509* caCert = nullptr;
    EVP_PKEY* serverKey = nullptr;
    X509* serverCert = nullptr;
    ~Keys() {
        X509_free(serverCert);
        EVP_PKEY_free(serverKey);
        X509_free(caCert);
        EVP_PKEY_free(caKey);
    }
};

namespace {

void AddExtension(X509* cert, X509* issuer, int nid, const char* value) {
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, issuer, cert, nullptr, nullptr, 0);
    X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
    if (!extension)
        throw std::runtime_error("bad certificate extension");
    X509_add_ext(cert, extension, -1);
    X509_EXTENSION_free(extension);
}

X509* MakeCertificate(EVP_PKEY* key, const char* commonName, X509* issuer, EVP_PKEY* issuerKey,
                      long serial) {
    X509* cert = X509_new();
    X509_set_version(cert, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert), serial);
    X509_gmtime_adj(X509_getm_notBefore(cert), -3600);
    X509_gmtime_adj(X509_getm_notAfter(cert), 86400);
    X509_set_pubkey(cert, key);
    X509_NAME* name = X509_get_subject_name(cert);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>(commonName), -1, -1, 0);
    X509_set_issuer_name(cert, issuer ? X509_get_subject_name(issuer) : name);
    X509* signer = issuer ? issuer : cert;
    if (!issuer) {
        AddExtension(cert, signer, NID_basic_constraints, "critical,CA:TRUE");
        AddExtension(cert, signer, NID_key_usage, "critical,keyCertSign,cRLSign");
    } else {
        AddExtension(cert, signer, NID_basic_constraints, "critical,CA:FALSE");
        AddExtension(cert, signer, NID_key_usage, "critical,digitalSignature");
        AddExtension(cert, signer, NID_ext_key_usage, "serverAuth");
        AddExtension(cert, signer, NID_subject_alt_name, "IP:127.0.0.1,DNS:localhost");
    }
    AddExtension(cert, signer, NID_subject_key_identifier, "hash");
    X509_sign(cert, issuerKey ? issuerKey : key, EVP_sha256());
    return cert;
}

} // namespace

TestCa::TestCa() : m_keys(std::make_unique<Keys>()) {
    m_keys->caKey = EVP_EC_gen("P-256");
    m_keys->serverKey = EVP_EC_gen("P-256");
    if (!m_keys->caKey || !m_keys->serverKey)
        throw std::runtime_error("cannot make test keys");
    m_keys->caCert = MakeCertificate(m_keys->caKey, "fundlens test CA", nullptr, nullptr, 1);
    m_keys->serverCert =
        MakeCertificate(m_keys->serverKey, "127.0.0.1", m_keys->caCert, m_keys->caKey, 2);

    std::random_device random;
    m_dir = std::filesystem::temp_directory_path() /
            ("fundlens-web-ca-" + std::to_string(::getpid()) + "-" + std::to_string(random()));
    std::filesystem::create_directories(m_dir);
    m_caPem = (m_dir / "ca.pem").string();
    FILE* file = std::fopen(m_caPem.c_str(), "w");
    if (!file || !PEM_write_X509(file, m_keys->caCert))
        throw std::runtime_error("cannot write ca.pem");
    std::fclose(file);
}

TestCa::~TestCa() {
    std::error_code ignored;
    std::filesystem::remove_all(m_dir, ignored);
}

std::unique_ptr<httplib::SSLServer> TestCa::MakeServer() const {
    return std::make_unique<httplib::SSLServer>(m_keys->serverCert, m_keys->serverKey);
}

// ---------------------------------------------------------------- RawServer

RawServer::RawServer(Script script) : m_script(std::move(script)) {
    m_listenFd = ListenOnLoopback(m_port);
    m_acceptThread = std::thread([this] { AcceptLoop(); });
}

RawServer::~RawServer() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        for (const int fd : m_fds)
            ::shutdown(fd, SHUT_RDWR);
    }
    ::shutdown(m_listenFd, SHUT_RDWR);
    m_acceptThread.join();
    for (std::thread& thread : m_threads)
        thread.join();
    for (const int fd : m_fds)
        ::close(fd);
    ::close(m_listenFd);
}

std::string RawServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

std::vector<std::string> RawServer::Requests() const {
    std::lock_guard lock(m_mutex);
    return m_requests;
}

std::string RawServer::LastRequest() const {
    std::lock_guard lock(m_mutex);
    return m_requests.empty() ? std::string() : m_requests.back();
}

int RawServer::Connections() const {
    std::lock_guard lock(m_mutex);
    return m_connections;
}

void RawServer::AcceptLoop() {
    for (;;) {
        const int fd = ::accept(m_listenFd, nullptr, nullptr);
        if (fd < 0)
            return;
        std::lock_guard lock(m_mutex);
        if (m_stopping) {
            ::close(fd);
            return;
        }
        ++m_connections;
        m_fds.push_back(fd);
        m_threads.emplace_back([this, fd] { Serve(fd); });
    }
}

namespace {

std::size_t ContentLength(const std::string& head) {
    for (const std::string& line : RequestLines(head)) {
        if (line.size() > 15 && strncasecmp(line.c_str(), "Content-Length:", 15) == 0)
            return std::stoul(line.substr(15));
    }
    return 0;
}

} // namespace

void RawServer::Serve(int fd) {
    std::string pending;
    char buffer[4096];
    for (;;) {
        std::size_t headEnd;
        while ((headEnd = pending.find("\r\n\r\n")) == std::string::npos) {
            const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
            if (got <= 0)
                return;
            pending.append(buffer, static_cast<std::size_t>(got));
        }
        const std::size_t total = headEnd + 4 + ContentLength(pending.substr(0, headEnd + 4));
        while (pending.size() < total) {
            const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
            if (got <= 0)
                return;
            pending.append(buffer, static_cast<std::size_t>(got));
        }
        const std::string request = pending.substr(0, total);
        pending.erase(0, total);
        {
            std::lock_guard lock(m_mutex);
            m_requests.push_back(request);
        }
        const RawAnswer answer = m_script(request);
        std::size_t sent = 0;
        while (sent < answer.bytes.size()) {
            const ssize_t n =
                ::send(fd, answer.bytes.data() + sent, answer.bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0)
                return;
            sent += static_cast<std::size_t>(n);
        }
        if (answer.close) {
            ::shutdown(fd, SHUT_RDWR);
            return;
        }
    }
}

std::vector<std::string> RequestLines(const std::string& request) {
    std::vector<std::string> lines;
    const std::string head = request.substr(0, request.find("\r\n\r\n"));
    std::size_t start = 0;
    while (start <= head.size()) {
        std::size_t end = head.find("\r\n", start);
        if (end == std::string::npos)
            end = head.size();
        lines.push_back(head.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::string RequestBody(const std::string& request) {
    const std::size_t end = request.find("\r\n\r\n");
    return end == std::string::npos ? std::string() : request.substr(end + 4);
}

std::string Answer(const std::string& statusLine, const std::string& headers,
                   const std::string& body) {
    return statusLine + "\r\n" + headers + "Content-Length: " + std::to_string(body.size()) +
           "\r\n\r\n" + body;
}

} // namespace fundlens::test
