#pragma once

#include <QString>

namespace zd {

class Console;

// Prints the demographics of one entry as the location click shows them: the
// location-name row, the figure rows and the household income rows under the
// list's headers, as aligned text. Returns the exit status.
int runShow(const QString& entry, Console& console);

}  // namespace zd
