#include "site/httpconnection.h"

#include <sys/socket.h>

#include <cerrno>
#include <algorithm>

namespace zd {
namespace {

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 303: return "See Other";
    case 307: return "Temporary Redirect";
    case 400: return "Bad Request";
    case 404: return "Not Found";
    case 429: return "Too Many Requests";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return "Status";
    }
}

}  // namespace

HttpConnection::HttpConnection(int socket, const std::atomic<bool>& stopping,
                               std::mutex& wakeMutex, std::condition_variable& wake, bool keepAlive)
    : m_socket(socket), m_keepAlive(keepAlive), m_stopping(stopping), m_wakeMutex(wakeMutex),
      m_wake(wake)
{
}

bool HttpConnection::send(QByteArrayView bytes)
{
    qsizetype sent = 0;
    while (!m_closed && sent < bytes.size()) {
        const ssize_t n = ::send(m_socket, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        sent += n;
    }
    return !m_closed;
}

bool HttpConnection::sendInChunks(QByteArrayView bytes, qsizetype chunkSize,
                                  std::chrono::milliseconds pause)
{
    chunkSize = std::max<qsizetype>(chunkSize, 1);
    for (qsizetype at = 0; at < bytes.size(); at += chunkSize) {
        if (at > 0 && pause.count() > 0 && !stall(pause))
            return false;
        if (!send(bytes.sliced(at, std::min(chunkSize, bytes.size() - at))))
            return false;
    }
    return true;
}

QByteArray HttpConnection::statusLine(int status)
{
    return "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) + "\r\n";
}

bool HttpConnection::sendResponse(int status, QByteArrayView body, QByteArrayView contentType,
                                  const QList<QPair<QByteArray, QByteArray>>& extraHeaders)
{
    QByteArray head = statusLine(status);
    head += "Content-Type: " + contentType.toByteArray() + "\r\n";
    head += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    head += m_keepAlive ? "Connection: keep-alive\r\n" : "Connection: close\r\n";
    for (const auto& [name, value] : extraHeaders)
        head += name + ": " + value + "\r\n";
    head += "\r\n";
    const bool sent = send(head) && send(body);
    m_reusable = sent && m_keepAlive;
    return sent;
}

bool HttpConnection::sendRedirect(int status, QByteArrayView location)
{
    return sendResponse(status, "<html><body>Moved</body></html>", "text/html",
                        {{"Location", location.toByteArray()}});
}

bool HttpConnection::stall(std::chrono::milliseconds duration)
{
    std::unique_lock lock(m_wakeMutex);
    return !m_wake.wait_for(lock, duration, [this] { return m_stopping.load(); });
}

void HttpConnection::close()
{
    if (m_closed)
        return;
    m_closed = true;
    // The descriptor itself is released by the server once the handler returns.
    ::shutdown(m_socket, SHUT_RDWR);
}

void HttpConnection::reset()
{
    if (m_closed)
        return;
    m_closed = true;
    // With a zero linger time, closing the descriptor (when the handler returns)
    // sends a reset instead of the orderly end.
    const linger abort{1, 0};
    ::setsockopt(m_socket, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
}

}  // namespace zd
