#include "tests/reliability/clirun.h"

#include <QElapsedTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <optional>

#include <grp.h>
#include <unistd.h>

namespace zd::test {
namespace {

// A copy of the executable in a folder every user may enter: the checkout may lie
// in a folder only its owner can enter, and an unprivileged child could not even
// start from there.
class ReachableExecutable {
public:
    explicit ReachableExecutable(const QString& original)
    {
        m_folder.emplace(QDir::tempPath() + QStringLiteral("/zd-cli-XXXXXX"));
        const QFileDevice::Permissions enterable =
            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
            | QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther
            | QFileDevice::ExeOther;
        m_path = m_folder->filePath(QStringLiteral("zipdemographics-cli"));
        if (!m_folder->isValid() || !QFile::setPermissions(m_folder->path(), enterable)
            || !QFile::copy(original, m_path) || !QFile::setPermissions(m_path, enterable))
            m_path = original;
    }
    QString path() const { return m_path; }

private:
    std::optional<QTemporaryDir> m_folder;
    QString m_path;
};

}  // namespace

ChildRun runCli(const QStringList& arguments, const CliRunOptions& options)
{
    QProcess process;
    process.setProcessEnvironment(childEnvironment(options.environment));
    process.setStandardInputFile(QProcess::nullDevice());
    if (!options.standardOutputFile.isEmpty())
        process.setStandardOutputFile(options.standardOutputFile);
    std::optional<ReachableExecutable> copy;
    QString program = QStringLiteral(ZD_CLI_EXECUTABLE);
    if (options.asUnprivilegedUser) {
        program = copy.emplace(program).path();
        process.setChildProcessModifier([] {
            // Between fork and exec: only calls that are safe there.
            if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
                ::_exit(126);
        });
    }
    QElapsedTimer clock;
    clock.start();
    process.start(program, arguments);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
    }
    return {process.exitCode(), process.exitStatus() == QProcess::NormalExit,
            process.readAllStandardOutput(), process.readAllStandardError(),
            clock.elapsed() / 1000.0};
}

}  // namespace zd::test
