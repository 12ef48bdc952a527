#include "tests/support/childprocess.h"

#include <QElapsedTimer>
#include <QFile>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace zd::test {

QProcessEnvironment childEnvironment(const QList<EnvironmentChange>& changes)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY", "no_proxy",
                             "NO_PROXY", "ZIPDEMOGRAPHICS_SITE", "ZIPDEMOGRAPHICS_SOURCE", "ZIPDEMOGRAPHICS_CENSUS_URL",
                             "ZIPDEMOGRAPHICS_CENSUS_YEAR", "CENSUS_API_KEY"})
        environment.remove(name);
    // Retries of the command line back off from 1 ms instead of 1 s, so that a
    // test of a failing site takes milliseconds; a test of the back-off sets its own.
    environment.insert("ZIPDEMOGRAPHICS_RETRY_BASE_MS", "1");
    for (const EnvironmentChange& change : changes) {
        if (change.value)
            environment.insert(change.name, *change.value);
        else
            environment.remove(change.name);
    }
    return environment;
}

ChildRun runChild(const QString& program, const QStringList& arguments,
                  const QList<EnvironmentChange>& environment, int timeoutMs)
{
    QProcess process;
    process.setProcessEnvironment(childEnvironment(environment));
    process.setStandardInputFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
    }
    return {process.exitCode(), process.exitStatus() == QProcess::NormalExit,
            process.readAllStandardOutput(), process.readAllStandardError(),
            clock.elapsed() / 1000.0};
}

SiteProcess::SiteProcess(const QStringList& extraArguments)
{
    m_process.setProcessEnvironment(childEnvironment());
    m_process.start(QStringLiteral(ZD_SITE_EXECUTABLE), extraArguments);
    while (!m_process.canReadLine() && m_process.waitForReadyRead(10000)) {
    }
    m_port = m_process.readLine().trimmed().toUShort();
    if (m_port == 0)
        throw std::runtime_error("the sample site printed no port");
}

SiteProcess::~SiteProcess()
{
    if (m_process.state() != QProcess::NotRunning)
        stop(SIGKILL);
}

ChildRun SiteProcess::stop(int signal)
{
    ::kill(static_cast<pid_t>(m_process.processId()), signal);
    m_process.waitForFinished(10000);
    return {m_process.exitCode(), m_process.exitStatus() == QProcess::NormalExit,
            m_process.readAllStandardOutput(), m_process.readAllStandardError(), 0};
}

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
