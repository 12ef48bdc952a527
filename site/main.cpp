// zipdemographics-site: the bundled sample site, for trying the program offline.
#include "site/runsamplesite.h"

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return zd::runSampleSite(arguments);
}
