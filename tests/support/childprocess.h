#pragma once

#include "tests/support/wholefile.h"

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <optional>

namespace zd::test {

struct EnvironmentChange {
    QString name;
    std::optional<QString> value;  // nothing: removed
};

// How a program run as a user would run it ended.
struct ChildRun {
    int exitCode = -1;
    bool exitedNormally = false;
    QByteArray out;
    QByteArray err;
    double seconds = 0;
};

// The environment of a child: this process's, without proxies, without
// ZIPDEMOGRAPHICS_SITE and the census source's settings (ZIPDEMOGRAPHICS_SOURCE,
// ZIPDEMOGRAPHICS_CENSUS_URL, ZIPDEMOGRAPHICS_CENSUS_YEAR, CENSUS_API_KEY), with
// retries backing off from 1 ms, then the given changes.
QProcessEnvironment childEnvironment(const QList<EnvironmentChange>& changes = {});

ChildRun runChild(const QString& program, const QStringList& arguments,
                  const QList<EnvironmentChange>& environment = {}, int timeoutMs = 60000);

// The sample site as a child process on a port of the system's choosing.
class SiteProcess {
public:
    explicit SiteProcess(const QStringList& extraArguments = {});
    ~SiteProcess();
    quint16 port() const { return m_port; }
    QString host() const { return "127.0.0.1:" + QString::number(m_port); }
    // Sends the signal and waits for the end; the site's output then is complete.
    ChildRun stop(int signal);

private:
    QProcess m_process;
    quint16 m_port = 0;
};

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
