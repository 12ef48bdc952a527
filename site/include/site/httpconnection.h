#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QPair>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace zd {

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

}  // namespace zd
