#include "site/loopbackhttpserver.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <cstring>

namespace zd {
namespace {
constexpr qsizetype kMaxHeadBytes = 1 << 20;
constexpr qsizetype kMaxBodyBytes = 16 << 20;

// Reads from the socket until the blank line that ends the request head. Whatever
// arrived after it (the start of a body) stays in `received`.
// Appends what the peer sends next; false when it has stopped sending.
bool receiveMore(int socket, QByteArray& received)
{
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::recv(socket, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        received.append(buffer, n);
        return true;
    }
}

bool readHead(int socket, QByteArray& received, qsizetype& headEnd)
{
    for (;;) {
        headEnd = received.indexOf("\r\n\r\n");
        if (headEnd >= 0)
            return true;
        if (received.size() > kMaxHeadBytes || !receiveMore(socket, received))
            return false;
    }
}

bool parseRequestLine(const QByteArray& line, HttpRequest& request)
{
    const QList<QByteArray> parts = line.split(' ');
    if (parts.size() != 3 || parts[0].isEmpty() || parts[1].isEmpty())
        return false;
    request.method = parts[0];
    request.target = parts[1];
    request.version = parts[2];
    return true;
}

bool parseHead(const QByteArray& head, HttpRequest& request)
{
    const QList<QByteArray> lines = head.split('\n');
    if (lines.isEmpty() || !parseRequestLine(lines[0].chopped(lines[0].endsWith('\r') ? 1 : 0), request))
        return false;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        QByteArray line = lines[i];
        if (line.endsWith('\r'))
            line.chop(1);
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        request.headers.append({line.left(colon), line.mid(colon + 1).trimmed()});
    }
    return true;
}

// Reads until `received` holds at least `count` bytes; false when the peer stops first.
bool readAtLeast(int socket, QByteArray& received, qsizetype count)
{
    while (received.size() < count) {
        if (!receiveMore(socket, received))
            return false;
    }
    return true;
}

// One request from the connection. `received` holds what arrived beyond the
// previous request and keeps what arrives beyond this one.
bool readRequest(int socket, QByteArray& received, HttpRequest& request)
{
    qsizetype headEnd = 0;
    if (!readHead(socket, received, headEnd) || !parseHead(received.left(headEnd), request))
        return false;
    request.arrived = std::chrono::system_clock::now();
    received.remove(0, headEnd + 4);
    const qsizetype announced = std::clamp<qsizetype>(request.header("Content-Length").toLongLong(),
                                                      0, kMaxBodyBytes);
    readAtLeast(socket, received, announced);  // a body cut short is kept as it came
    request.body = received.left(announced);
    received.remove(0, request.body.size());
    return true;
}

}  // namespace

LoopbackHttpServer::LoopbackHttpServer(Handler handler) : m_handler(std::move(handler)) {}

LoopbackHttpServer::~LoopbackHttpServer() { stop(); }

bool LoopbackHttpServer::listen(quint16 port, LoopbackAddress address)
{
    m_address = address;
    const bool ipv6 = address == LoopbackAddress::Ipv6;
    m_listener = ::socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listener < 0) {
        m_error = "socket: " + QByteArray(std::strerror(errno));
        return false;
    }
    const int yes = 1;
    ::setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_storage storage{};
    socklen_t length = ipv6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in);
    if (ipv6) {
        auto* in6 = reinterpret_cast<sockaddr_in6*>(&storage);
        in6->sin6_family = AF_INET6;
        in6->sin6_port = htons(port);
        in6->sin6_addr = in6addr_loopback;
    } else {
        auto* in4 = reinterpret_cast<sockaddr_in*>(&storage);
        in4->sin_family = AF_INET;
        in4->sin_port = htons(port);
        in4->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    }
    auto* generic = reinterpret_cast<sockaddr*>(&storage);
    if (::bind(m_listener, generic, length) != 0 || ::listen(m_listener, 128) != 0) {
        m_error = "bind/listen: " + QByteArray(std::strerror(errno));
        ::close(m_listener);
        m_listener = -1;
        return false;
    }
    ::getsockname(m_listener, generic, &length);
    m_port = ntohs(ipv6 ? reinterpret_cast<sockaddr_in6*>(&storage)->sin6_port
                        : reinterpret_cast<sockaddr_in*>(&storage)->sin_port);
    m_acceptThread = std::thread([this] { acceptLoop(); });
    return true;
}

void LoopbackHttpServer::stop()
{
    {
        std::lock_guard lock(m_wakeMutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_listener >= 0)
        ::shutdown(m_listener, SHUT_RDWR);  // wakes the blocked accept()
    if (m_acceptThread.joinable())
        m_acceptThread.join();
    if (m_listener >= 0) {
        ::close(m_listener);
        m_listener = -1;
    }
    QList<std::shared_ptr<Worker>> workers;
    {
        std::lock_guard lock(m_workersMutex);
        for (const auto& worker : m_workers) {
            if (worker->socket >= 0)
                ::shutdown(worker->socket, SHUT_RDWR);  // wakes reads and writes
        }
        workers.swap(m_workers);
    }
    for (const auto& worker : workers)
        worker->thread.join();
}

QByteArray LoopbackHttpServer::hostAndPort() const
{
    const QByteArray host = m_address == LoopbackAddress::Ipv6 ? "[::1]" : "127.0.0.1";
    return host + ':' + QByteArray::number(m_port);
}

QByteArray LoopbackHttpServer::baseUrl() const { return "http://" + hostAndPort(); }

void LoopbackHttpServer::acceptLoop()
{
    while (!m_stopping) {
        const int socket = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (socket < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            return;  // the listener was shut down
        }
        // Small pieces go out as the handler sends them, not gathered by the kernel.
        const int noDelay = 1;
        ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);
        reapFinishedWorkers();
        std::lock_guard lock(m_workersMutex);
        if (m_stopping) {
            ::close(socket);
            return;
        }
        const int connection = ++m_connectionsAccepted;
        auto worker = std::make_shared<Worker>();
        worker->finished = std::make_shared<std::atomic<bool>>(false);
        worker->socket = socket;
        worker->thread = std::thread([this, worker, connection] {
            serve(worker->socket, connection);
            std::lock_guard workerLock(m_workersMutex);
            ::close(worker->socket);
            worker->socket = -1;
            *worker->finished = true;
        });
        m_workers.append(worker);
    }
}

void LoopbackHttpServer::reapFinishedWorkers()
{
    QList<std::shared_ptr<Worker>> finished;
    {
        std::lock_guard lock(m_workersMutex);
        for (qsizetype i = m_workers.size() - 1; i >= 0; --i) {
            if (*m_workers[i]->finished)
                finished.append(m_workers.takeAt(i));
        }
    }
    for (const auto& worker : finished)
        worker->thread.join();
}

void LoopbackHttpServer::serve(int socket, int connectionNumber)
{
    if (m_keepAlive) {
        // An idle connection ends after a while, as servers' connections do.
        const timeval idle{kIdleSeconds, 0};
        ::setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &idle, sizeof idle);
    }
    QByteArray received;
    for (;;) {
        HttpRequest request;
        if (!readRequest(socket, received, request))
            return;
        request.connection = connectionNumber;
        record(request);
        HttpConnection connection(socket, m_stopping, m_wakeMutex, m_wake,
                                  m_keepAlive && request.wantsKeepAlive());
        if (m_handler)
            m_handler(request, connection);
        if (!connection.isReusable() || m_stopping)
            return;
    }
}

void LoopbackHttpServer::record(const HttpRequest& request)
{
    {
        std::lock_guard lock(m_requestsMutex);
        m_requests.append(request);
    }
    m_requestArrived.notify_all();
}

QList<HttpRequest> LoopbackHttpServer::requests() const
{
    std::lock_guard lock(m_requestsMutex);
    return m_requests;
}

qsizetype LoopbackHttpServer::requestCount() const
{
    std::lock_guard lock(m_requestsMutex);
    return m_requests.size();
}

void LoopbackHttpServer::clearRequests()
{
    std::lock_guard lock(m_requestsMutex);
    m_requests.clear();
}

bool LoopbackHttpServer::waitForRequests(qsizetype count, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_requestsMutex);
    return m_requestArrived.wait_for(lock, timeout, [&] { return m_requests.size() >= count; });
}

}  // namespace zd
