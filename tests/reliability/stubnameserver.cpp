#include "tests/reliability/stubnameserver.h"

#include <QFile>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace zd::test {
namespace {

constexpr qsizetype kHeaderSize = 12;

// Binds a UDP socket to port 53 of some loopback address that no other test
// process is likely to hold at the same moment.
int bindNameServerSocket(in_addr& address)
{
    const int socket = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (socket < 0)
        return -1;
    for (unsigned attempt = 0; attempt < 16; ++attempt) {
        const unsigned spread = (static_cast<unsigned>(::getpid()) + attempt * 7919) % 65000;
        address.s_addr = htonl((127u << 24) | (53u << 16) | (spread + 2));
        sockaddr_in bound{};
        bound.sin_family = AF_INET;
        bound.sin_port = htons(53);
        bound.sin_addr = address;
        if (::bind(socket, reinterpret_cast<sockaddr*>(&bound), sizeof bound) == 0)
            return socket;
    }
    ::close(socket);
    return -1;
}

// The length of the question section's first entry (name, type, class), or 0.
qsizetype questionEnd(const QByteArray& message)
{
    qsizetype at = kHeaderSize;
    while (at < message.size()) {
        const auto label = static_cast<unsigned char>(message.at(at));
        if (label == 0)
            return at + 1 + 4 <= message.size() ? at + 1 + 4 : 0;
        at += 1 + label;
    }
    return 0;
}

}  // namespace

StubNameServer::StubNameServer(Behaviour behaviour, const QByteArray& resolverOptions)
    : m_behaviour(behaviour)
{
    if (!privateMountsAvailable()) {
        m_failure = QStringLiteral("no private mount namespace (needs root)");
        return;
    }
    in_addr address{};
    m_socket = bindNameServerSocket(address);
    if (m_socket < 0) {
        m_failure = QStringLiteral("no loopback address with a free port 53");
        return;
    }
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &address, text, sizeof text);
    const QString configuration = m_folder.filePath(QStringLiteral("resolv.conf"));
    QByteArray lines = "nameserver " + QByteArray(text) + "\n";
    if (!resolverOptions.isEmpty())
        lines += "options " + resolverOptions + "\n";
    QFile file(configuration);
    if (!file.open(QIODevice::WriteOnly) || file.write(lines) != lines.size()) {
        m_failure = QStringLiteral("cannot write the resolver configuration");
        return;
    }
    file.close();
    if (behaviour == Behaviour::Absent) {
        ::close(m_socket);  // questions sent there now meet a closed port
        m_socket = -1;
    } else {
        m_thread = std::thread([this] { serve(); });
    }
    m_mount.emplace(ScopedMount::fileOver(configuration, QStringLiteral("/etc/resolv.conf")));
    if (!m_mount->active())
        m_failure = m_mount->failure();
}

StubNameServer::~StubNameServer()
{
    m_mount.reset();  // the machine's own resolver configuration is back
    m_stopping = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_socket >= 0)
        ::close(m_socket);
}

void StubNameServer::serve()
{
    QByteArray message(4096, '\0');
    while (!m_stopping) {
        pollfd waiting{m_socket, POLLIN, 0};
        if (::poll(&waiting, 1, 50) <= 0)
            continue;
        sockaddr_in peer{};
        socklen_t peerLength = sizeof peer;
        const ssize_t length = ::recvfrom(m_socket, message.data(), message.size(), 0,
                                          reinterpret_cast<sockaddr*>(&peer), &peerLength);
        if (length < kHeaderSize)
            continue;
        ++m_questions;
        if (m_behaviour == Behaviour::NoSuchName)
            answer(message.left(length), &peer, peerLength);
    }
}

// The question sent back as a response: same id, "no such name", no records.
void StubNameServer::answer(const QByteArray& question, const void* peer, unsigned peerLength) const
{
    const qsizetype end = questionEnd(question);
    if (end == 0)
        return;
    QByteArray response = question.left(end);
    response[2] = static_cast<char>(response[2] | 0x80);  // a response
    response[3] = static_cast<char>(0x80 | 0x03);          // recursion available; no such name
    for (int at = 6; at < kHeaderSize; ++at)
        response[at] = 0;                                   // no answer, authority or extra records
    ::sendto(m_socket, response.constData(), response.size(), 0,
             static_cast<const sockaddr*>(peer), peerLength);
}

}  // namespace zd::test
