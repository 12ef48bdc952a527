#pragma once

#include "tests/support/childprocess.h"

#include <QProcess>
#include <QString>
#include <QStringList>

namespace zd::test {

// The sample site as a child process on a port of the system's choosing, in the
// environment that childEnvironment() gives.
class SiteProcess {
public:
    explicit SiteProcess(const QStringList& extraArguments = {});
    ~SiteProcess();
    SiteProcess(const SiteProcess&) = delete;
    SiteProcess& operator=(const SiteProcess&) = delete;

    quint16 port() const { return m_port; }
    QString host() const { return "127.0.0.1:" + QString::number(m_port); }
    // Sends the signal and waits for the end; the site's output then is complete.
    ChildRun stop(int signal);

private:
    QProcess m_process;
    quint16 m_port = 0;
};

}  // namespace zd::test
