#pragma once

#include "core/dialogs.h"

#include <cstdio>

namespace zd {

// At the desktop program's start: a ZIPDEMOGRAPHICS_SOURCE that names no source
// is named on the error stream (one line) and in a warning box, and false tells the program to end (status 2)
// before it fetches anything. The window shows the site's figures only: a
// census setting is refused the same way, with a pointer to the command line,
// rather than quietly showing the site's figures as if they were the census's.
[[nodiscard]] bool confirmUsableSourceSetting(Dialogs& dialogs, std::FILE* errorStream = stderr);

}  // namespace zd
