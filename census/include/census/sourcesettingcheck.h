#pragma once

#include "core/dialogs.h"

#include <cstdio>

namespace zd {

// At the desktop program's start: a ZIPDEMOGRAPHICS_SOURCE that names no source
// is named on the error stream (one line) and in a warning box, and false tells
// the program to end (status 2) before it fetches anything. "site" and "census"
// pass.
[[nodiscard]] bool confirmUsableSourceSetting(Dialogs& dialogs, std::FILE* errorStream = stderr);

}  // namespace zd
