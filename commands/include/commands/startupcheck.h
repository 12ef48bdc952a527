#pragma once

#include "core/dialogs.h"
#include "core/setting.h"

#include <QString>

#include <cstdio>
#include <memory>
#include <optional>

namespace zd {

class CensusSession;

// The desktop program's own options for the source: --source and --year, which
// take the place of ZIPDEMOGRAPHICS_SOURCE and ZIPDEMOGRAPHICS_CENSUS_YEAR, and
// what was wrong with them as given (an option without its value).
struct WindowSourceOptions {
    std::optional<Setting> source;
    std::optional<Setting> year;
};
struct WindowArguments {
    WindowSourceOptions options;
    QString error;
};

// At the desktop program's start, before it fetches anything, every setting it
// reads, in this order: the site (ZIPDEMOGRAPHICS_SITE), its own options, the
// source (--source, else ZIPDEMOGRAPHICS_SOURCE) and, for the census source, the
// API's address (ZIPDEMOGRAPHICS_CENSUS_URL) and the year (--year, else
// ZIPDEMOGRAPHICS_CENSUS_YEAR); --year with the site source is refused. The
// first that cannot be used is named on the error stream (one line) and in a
// warning box, and false tells the program to end (status 2) rather than
// quietly ask another site. With the census source, session is its session; a
// stored key that cannot be used, or whose file others may read, is named the
// same way (a warning), and the program starts.
[[nodiscard]] bool confirmUsableStartSettings(Dialogs& dialogs, const WindowArguments& arguments,
                                              std::shared_ptr<CensusSession>& session,
                                              std::FILE* errorStream = stderr);

}  // namespace zd
