#include "tests/support/rawhttp.h"

#include <QElapsedTimer>
#include <QList>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zd::test {

QByteArray RawResponse::header(const QByteArray& name) const
{
    for (const QByteArray& line : head.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(colon + 1).trimmed();
    }
    return {};
}

QByteArray rawExchange(quint16 port, const QByteArray& requests, int* reads)
{
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    const timeval timeout{10, 0};
    ::setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    QByteArray received;
    if (::connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        ::send(socket, requests.constData(), requests.size(), MSG_NOSIGNAL);
        char buffer[65536];
        for (ssize_t n; (n = ::recv(socket, buffer, sizeof buffer, 0)) > 0;) {
            received.append(buffer, n);
            if (reads)
                ++*reads;
        }
    }
    ::close(socket);
    return received;
}

RawResponse rawGet(quint16 port, const QByteArray& target)
{
    RawResponse response;
    QElapsedTimer clock;
    clock.start();
    const QByteArray received = rawExchange(
        port, "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n",
        &response.reads);
    response.seconds = clock.elapsed() / 1000.0;
    const qsizetype headEnd = received.indexOf("\r\n\r\n");
    response.head = received.left(headEnd).replace("\r\n", "\n");
    response.body = headEnd < 0 ? QByteArray() : received.mid(headEnd + 4);
    response.status = received.mid(9, 3).toInt();
    return response;
}

}  // namespace zd::test
