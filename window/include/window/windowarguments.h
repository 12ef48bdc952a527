#pragma once

#include "commands/startupcheck.h"

#include <QStringList>

namespace zd {

// The desktop program's own options after Qt has taken its own (-platform,
// -style, ...): --source SOURCE and --year YYYY, also as --source=SOURCE.
// Every other argument is left alone, as it always was. error names an option
// given without its value; the values themselves are checked at start
// (confirmUsableStartSettings).
WindowArguments parseWindowArguments(const QStringList& arguments);

}  // namespace zd
