#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QPair>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace zd {

// One request as it arrived: the request target is kept byte for byte, also in
// the absolute form ("http://host/path") that a client sends to a proxy.
struct HttpRequest {
    QByteArray method;
    QByteArray target;
    QByteArray version;
    QList<QPair<QByteArray, QByteArray>> headers;  // in arrival order, names as sent
    QByteArray body;                               // only as much as Content-Length announced
    int connection = 0;                            // 1 for the first connection accepted, and so on
    std::chrono::system_clock::time_point arrived; // when its head had been read

    // The first header of that name (ASCII case-insensitive); empty when absent.
    QByteArray header(QByteArrayView name) const;
    bool hasHeader(QByteArrayView name) const;
    // The target's path and query, also for an absolute-form target.
    QByteArray pathAndQuery() const;
    // The value of one query parameter of the target, undecoded; empty when absent.
    QByteArray queryValue(QByteArrayView name) const;
    // HTTP/1.1 without "Connection: close", or HTTP/1.0 with "Connection: keep-alive".
    bool wantsKeepAlive() const;
};

// The server's side of one client connection, handed to the request handler.
// Everything it sends goes out as given, so a handler can answer correctly or
// misbehave on purpose: short bodies, tiny chunks, pauses, a close mid-way.
class HttpConnection {
public:
    // keepAlive: whether a complete response may leave the connection open for
    // the client's next request.
    HttpConnection(int socket, const std::atomic<bool>& stopping, std::mutex& wakeMutex,
                   std::condition_variable& wake, bool keepAlive = false);

    // Raw bytes; false once the peer has gone or the connection was closed.
    bool send(QByteArrayView bytes);
    // The bytes in pieces of chunkSize, pausing between pieces.
    bool sendInChunks(QByteArrayView bytes, qsizetype chunkSize,
                      std::chrono::milliseconds pause = std::chrono::milliseconds(0));
    // A whole response with Content-Length, and "Connection: keep-alive" when the
    // connection may serve another request, else "Connection: close". Raw sends
    // leave the connection to be closed after the handler.
    bool sendResponse(int status, QByteArrayView body,
                      QByteArrayView contentType = "text/html; charset=windows-1252",
                      const QList<QPair<QByteArray, QByteArray>>& extraHeaders = {});
    // A redirect to the given location, with a short body.
    bool sendRedirect(int status, QByteArrayView location);
    // Sends nothing for the given time; returns early (false) when the server stops.
    bool stall(std::chrono::milliseconds duration);
    // Closes the connection now, for example in the middle of a body.
    void close();
    // Ends the connection with a reset (RST) instead of an orderly close.
    void reset();
    bool isClosed() const { return m_closed; }
    // Whether the next request may come on this connection.
    bool isReusable() const { return m_reusable && !m_closed; }

    static QByteArray statusLine(int status);

private:
    int m_socket;
    bool m_closed = false;
    bool m_keepAlive = false;
    bool m_reusable = false;
    const std::atomic<bool>& m_stopping;
    std::mutex& m_wakeMutex;
    std::condition_variable& m_wake;
};

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
