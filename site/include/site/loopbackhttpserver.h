#pragma once

#include "site/httpconnection.h"
#include "site/httprequest.h"

#include <QByteArray>
#include <QList>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace zd {

enum class LoopbackAddress { Ipv4, Ipv6 };  // 127.0.0.1 or ::1

// A small HTTP/1.1 server on 127.0.0.1 for tests and the sample site. One thread
// accepts; each connection gets a thread of its own, so slow answers never hold
// up other clients. A connection reads one request, hands it to the handler and
// is closed when the handler returns, unless keep-alive is on and the handler
// answered with sendResponse: then it waits for the next request (for at most
// kIdleSeconds). Every request is recorded. The destructor stops the server and
// waits for its threads.
class LoopbackHttpServer {
public:
    using Handler = std::function<void(const HttpRequest&, HttpConnection&)>;

    static constexpr int kIdleSeconds = 15;

    explicit LoopbackHttpServer(Handler handler);
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    // Starts listening on 127.0.0.1 (or ::1); port 0 lets the system choose.
    // False on failure, with the reason in errorString().
    [[nodiscard]] bool listen(quint16 port = 0, LoopbackAddress address = LoopbackAddress::Ipv4);
    void stop();
    // Lets connections serve more than one request; set before listen().
    void setKeepAlive(bool on) { m_keepAlive = on; }

    quint16 port() const { return m_port; }
    QByteArray hostAndPort() const;  // "127.0.0.1:<port>" or "[::1]:<port>"
    QByteArray baseUrl() const;      // "http://127.0.0.1:<port>"
    QByteArray errorString() const { return m_error; }

    // The requests received so far, in arrival order.
    QList<HttpRequest> requests() const;
    qsizetype requestCount() const;
    void clearRequests();
    // Waits until at least count requests have arrived; false on time-out.
    bool waitForRequests(qsizetype count, std::chrono::milliseconds timeout) const;

private:
    struct Worker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> finished;
        int socket = -1;
    };

    void acceptLoop();
    void serve(int socket, int connection);
    void record(const HttpRequest& request);
    void reapFinishedWorkers();

    Handler m_handler;
    int m_listener = -1;
    quint16 m_port = 0;
    LoopbackAddress m_address = LoopbackAddress::Ipv4;
    QByteArray m_error;
    std::atomic<bool> m_stopping{false};
    bool m_keepAlive = false;
    int m_connectionsAccepted = 0;  // only the accepting thread counts
    std::thread m_acceptThread;

    std::mutex m_workersMutex;
    QList<std::shared_ptr<Worker>> m_workers;

    mutable std::mutex m_requestsMutex;
    mutable std::condition_variable m_requestArrived;
    QList<HttpRequest> m_requests;

    std::mutex m_wakeMutex;  // wakes stalling handlers when the server stops
    std::condition_variable m_wake;
};

}  // namespace zd
