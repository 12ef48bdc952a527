#pragma once

#include <QString>
#include <QStringList>

namespace zd {

class Console;

// Writes the demographics of every entry to one aligned result file, as the save
// command does. Returns the exit status.
int runExport(const QStringList& entries, const QString& outputPath, Console& console);

// Why the result file at path could not be written, found before any fetch; empty
// when nothing stands in the way that can be seen in advance.
QString outputObstacle(const QString& path);

}  // namespace zd
