#pragma once

#include <QString>

namespace zd {

// The whole of --help.
QString cliHelpText();
// The short reminder after a usage error.
QString cliUsageHint();

}  // namespace zd
