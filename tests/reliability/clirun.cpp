#include "tests/reliability/clirun.h"

#include <QElapsedTimer>
#include <QProcess>

#include <grp.h>
#include <unistd.h>

namespace zd::test {

ChildRun runCli(const QStringList& arguments, const CliRunOptions& options)
{
    QProcess process;
    process.setProcessEnvironment(childEnvironment(options.environment));
    process.setStandardInputFile(QProcess::nullDevice());
    if (!options.standardOutputFile.isEmpty())
        process.setStandardOutputFile(options.standardOutputFile);
    if (options.asUnprivilegedUser) {
        process.setChildProcessModifier([] {
            // Between fork and exec: only calls that are safe there.
            if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
                ::_exit(126);
        });
    }
    QElapsedTimer clock;
    clock.start();
    process.start(QStringLiteral(ZD_CLI_EXECUTABLE), arguments);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
    }
    return {process.exitCode(), process.exitStatus() == QProcess::NormalExit,
            process.readAllStandardOutput(), process.readAllStandardError(),
            clock.elapsed() / 1000.0};
}

}  // namespace zd::test
