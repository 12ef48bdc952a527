#pragma once

#include <QString>

namespace zd {

class Console;
class ListModel;

// Prints the demographics of one entry as the location click shows them: the
// location-name row, the figure rows and the household income rows under the
// list's headers, as aligned text. Returns the exit status.
int runShow(const QString& entry, Console& console);

// The list as aligned text lines: every cell padded to its column's width and
// followed by a TAB, each line ended by LF.
QString alignedText(const ListModel& list);

}  // namespace zd
