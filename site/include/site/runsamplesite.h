#pragma once

#include <QStringList>

namespace zd {

// The sample site as a program: reads its command line (the arguments that follow
// the program name), answers --help and --version, or serves until SIGINT or
// SIGTERM arrives, and gives the exit status (0 stopped by a signal or help
// shown; 1 the port could not be opened or help could not be written; 2 a usage
// error or a log or robots file that cannot be opened). Standard output carries
// the help, the version or the port; every message goes to standard error.
// While it serves, SIGINT and SIGTERM are blocked in the calling thread and the
// server's threads; the calling thread's signal mask is restored on return.
int runSampleSite(const QStringList& arguments);

}  // namespace zd
