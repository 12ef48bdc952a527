#pragma once

#include <QString>

namespace zd {

// The whole of --help.
QString cliHelpText();
// The answer to --version: the program's name and version, one line.
QString cliVersionText();
// The short reminder after a usage error.
QString cliUsageHint();

}  // namespace zd
