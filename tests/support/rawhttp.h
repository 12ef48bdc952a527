#pragma once

#include <QByteArray>

namespace zd::test {

// What a loopback server sent for one GET, read until it closed the connection.
struct RawResponse {
    int status = 0;
    QByteArray head;  // status line and headers, without the blank line
    QByteArray body;  // everything after the blank line, as framed on the wire
    int reads = 0;    // how many reads the body took
    double seconds = 0;
    QByteArray header(const QByteArray& name) const;
};

// A GET that asks the server to close the connection after its answer.
RawResponse rawGet(quint16 port, const QByteArray& target);
// Sends the bytes on one connection and returns all that comes back until the
// server closes it (or 10 s of silence); counts the reads when asked.
QByteArray rawExchange(quint16 port, const QByteArray& requests, int* reads = nullptr);

}  // namespace zd::test
