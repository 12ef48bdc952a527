#include "tests/support/clirun.h"

namespace zd::test {

ChildRun runCli(const QStringList& arguments, const ChildOptions& options)
{
    return runChild(QStringLiteral(ZD_CLI_EXECUTABLE), arguments, options);
}

QList<ChildRun> runCliAtOnce(const QList<QStringList>& argumentLists, const ChildOptions& options)
{
    QList<ChildCommand> commands;
    for (const QStringList& arguments : argumentLists)
        commands.append({QStringLiteral(ZD_CLI_EXECUTABLE), arguments, options});
    return runChildrenAtOnce(commands);
}

}  // namespace zd::test
