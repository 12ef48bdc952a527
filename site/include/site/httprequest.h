#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QPair>

#include <chrono>

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

}  // namespace zd
