#pragma once

#include <QByteArray>

#include <atomic>
#include <chrono>
#include <thread>

namespace zd::test {

// A loopback server that answers every request with the given bytes and then,
// after a pause that lets them arrive, resets the connection (RST, not FIN), as
// a server that crashes or a middlebox that gives up does. The ordinary test
// server can only close a connection in order.
class ResettingServer {
public:
    ResettingServer(QByteArray reply, std::chrono::milliseconds pauseBeforeReset);
    ~ResettingServer();
    ResettingServer(const ResettingServer&) = delete;
    ResettingServer& operator=(const ResettingServer&) = delete;

    bool listening() const { return m_listener >= 0; }
    QByteArray hostAndPort() const;
    int connectionCount() const { return m_connections; }

private:
    void serve();
    void answer(int connection) const;

    QByteArray m_reply;
    std::chrono::milliseconds m_pause;
    int m_listener = -1;
    quint16 m_port = 0;
    std::atomic<bool> m_stopping{false};
    std::atomic<int> m_connections{0};
    std::thread m_thread;
};

}  // namespace zd::test
