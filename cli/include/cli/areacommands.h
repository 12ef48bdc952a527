#pragma once

#include <QString>
#include <QStringList>

namespace zd {

class Console;

// "near ZIP|LAT,LON --miles N [--distance]": the ZIP codes within N miles,
// nearest first, one a line; with --distance each followed by a TAB, the miles
// to one decimal and, for a ZIP code without a ZCTA of its own, a TAB and
// "no ZCTA". Returns the exit status.
int runNearCommand(const QStringList& arguments, Console& console);
QString nearHelpText();

// "zips --state ST" or "zips --city "NAME, ST"": the ZIP codes of a state or
// town, one a line, by ZIP code. Returns the exit status.
int runZipsCommand(const QStringList& arguments, Console& console);
QString zipsHelpText();

// The selection commands' common ends: text to standard output (status 0, or 3
// when it does not arrive), and a usage error with the hint to the command's help.
int printSelection(Console& console, const QString& text);
int selectionUsageError(Console& console, const QString& message, const QString& command);

}  // namespace zd
