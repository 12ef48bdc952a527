#include "tests/support/childprocess.h"

#include "tests/support/unprivilegedscope.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <grp.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

namespace zd::test {

// A copy of a program in a folder every user may enter: the build folder may lie
// in one only its owner can enter, and an unprivileged child could not even start
// from there.
class ChildProcess::ReachableCopy {
public:
    explicit ReachableCopy(const QString& original)
        : m_folder(QDir::tempPath() + QStringLiteral("/zd-child-XXXXXX"))
    {
        const QFileDevice::Permissions enterable =
            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
            | QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther
            | QFileDevice::ExeOther;
        m_path = m_folder.filePath(QFileInfo(original).fileName());
        if (!m_folder.isValid() || !QFile::setPermissions(m_folder.path(), enterable)
            || !QFile::copy(original, m_path) || !QFile::setPermissions(m_path, enterable))
            m_path = original;
    }
    QString path() const { return m_path; }

private:
    QTemporaryDir m_folder;
    QString m_path;
};

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
    // A key the developer has stored (in the desktop's keyring or the configuration
    // folder) never reaches a test's program: it finds no keyring and an empty folder.
    static const QString emptyConfiguration = [] {
        static QTemporaryDir folder;
        QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                                 | QFileDevice::ExeGroup | QFileDevice::ExeOther);
        return folder.path();
    }();
    environment.insert("XDG_CONFIG_HOME", emptyConfiguration);
    environment.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/zipdemographics-test-bus");
    for (const EnvironmentChange& change : changes) {
        if (change.value)
            environment.insert(change.name, *change.value);
        else
            environment.remove(change.name);
    }
    return environment;
}

ChildProcess::ChildProcess(const QString& program, const QStringList& arguments, const ChildOptions& options)
    : m_options(options), m_process(std::make_unique<QProcess>())
{
    m_process->setProcessEnvironment(childEnvironment(options.environment));
    m_process->setStandardInputFile(QProcess::nullDevice());
    if (!options.standardOutputFile.isEmpty())
        m_process->setStandardOutputFile(options.standardOutputFile);
    QString start = program;
    if (options.asUnprivilegedUser) {
        m_copy = std::make_unique<ReachableCopy>(program);
        start = m_copy->path();
        m_process->setChildProcessModifier([] {
            // Between fork and exec: only calls that are safe there.
            constexpr uid_t nobody = UnprivilegedScope::kNobody;
            if (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0)
                ::_exit(126);
        });
    }
    m_clock.start();
    m_process->start(start, arguments);
}

ChildProcess::~ChildProcess()
{
    if (m_process->state() != QProcess::NotRunning) {
        m_process->kill();
        m_process->waitForFinished();
    }
}

bool ChildProcess::started() { return m_process->waitForStarted(); }

qint64 ChildProcess::processId() const { return m_process->processId(); }

ChildRun ChildProcess::finish()
{
    const qint64 left = std::max<qint64>(0, m_options.timeoutMs - m_clock.elapsed());
    const bool endedInTime =
        m_process->waitForFinished(static_cast<int>(left)) || m_process->state() == QProcess::NotRunning;
    if (!endedInTime) {
        m_process->kill();
        m_process->waitForFinished();
    }
    const bool normal = endedInTime && m_process->error() != QProcess::FailedToStart
                        && m_process->exitStatus() == QProcess::NormalExit;
    return {m_process->exitCode(), normal, m_process->readAllStandardOutput(), m_process->readAllStandardError(),
            m_clock.elapsed() / 1000.0};
}

ChildRun runChild(const QString& program, const QStringList& arguments, const ChildOptions& options)
{
    return ChildProcess(program, arguments, options).finish();
}

QList<ChildRun> runChildrenAtOnce(const QList<ChildCommand>& commands)
{
    std::vector<std::unique_ptr<ChildProcess>> children;
    for (const ChildCommand& command : commands)
        children.push_back(std::make_unique<ChildProcess>(command.program, command.arguments, command.options));
    QList<ChildRun> runs;
    for (const std::unique_ptr<ChildProcess>& child : children)
        runs.append(child->finish());
    return runs;
}

}  // namespace zd::test
