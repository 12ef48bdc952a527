#include "tests/reliability/resettingserver.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zd::test {
namespace {

// Reads until the blank line that ends the request head, or gives up after a while.
void readRequestHead(int connection)
{
    QByteArray head;
    char buffer[2048];
    while (!head.contains("\r\n\r\n") && head.size() < (1 << 16)) {
        pollfd waiting{connection, POLLIN, 0};
        if (::poll(&waiting, 1, 2000) <= 0)
            return;
        const ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
        if (n <= 0)
            return;
        head.append(buffer, n);
    }
}

}  // namespace

ResettingServer::ResettingServer(QByteArray reply, std::chrono::milliseconds pauseBeforeReset)
    : m_reply(std::move(reply)), m_pause(pauseBeforeReset)
{
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || ::listen(m_listener, 16) != 0
        || ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        if (m_listener >= 0)
            ::close(m_listener);
        m_listener = -1;
        return;
    }
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { serve(); });
}

ResettingServer::~ResettingServer()
{
    m_stopping = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_listener >= 0)
        ::close(m_listener);
}

QByteArray ResettingServer::hostAndPort() const { return "127.0.0.1:" + QByteArray::number(m_port); }

void ResettingServer::serve()
{
    while (!m_stopping) {
        pollfd waiting{m_listener, POLLIN, 0};
        if (::poll(&waiting, 1, 50) <= 0)
            continue;
        const int connection = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0)
            continue;
        ++m_connections;
        answer(connection);
    }
}

void ResettingServer::answer(int connection) const
{
    readRequestHead(connection);
    for (qsizetype sent = 0; sent < m_reply.size();) {
        const ssize_t n = ::send(connection, m_reply.constData() + sent, m_reply.size() - sent,
                                 MSG_NOSIGNAL);
        if (n <= 0)
            break;
        sent += n;
    }
    std::this_thread::sleep_for(m_pause);
    // A zero linger time makes close() drop the connection with a reset.
    const linger abortive{1, 0};
    ::setsockopt(connection, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
    ::close(connection);
}

}  // namespace zd::test
