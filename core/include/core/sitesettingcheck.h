#pragma once

#include "core/dialogs.h"

#include <cstdio>

namespace zd {

// At the desktop program's start: a ZIPDEMOGRAPHICS_SITE that cannot stand for
// the site is named on the error stream (one line) and in a warning box, and
// false tells the program to end before it fetches anything, rather than quietly
// asking another site.
[[nodiscard]] bool confirmUsableSiteSetting(Dialogs& dialogs, std::FILE* errorStream = stderr);

}  // namespace zd
