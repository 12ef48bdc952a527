// zipdemographics-cli: look up, show or export ZIP code demographics without a window.
#include "cli/cliapp.h"
#include "cli/console.h"

#include <QStringList>

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    zd::Console console;
    return zd::runCli(arguments, console);
}
