#include "tests/support/siteprocess.h"

#include <signal.h>

#include <stdexcept>

namespace zd::test {

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

}  // namespace zd::test
