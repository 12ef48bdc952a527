#pragma once

#include <QString>
#include <QStringList>

namespace zd {

// The folder of the running program's executable.
QString runningProgramFolder();

// The folders that may hold the files the program ships with (skin, hand cursor,
// the place table, the map outlines):
// its own folder first, as in the build tree, then ../share/zipdemographics beside
// it, as in an installed tree wherever that tree was moved to.
QStringList programFileFolders(const QString& programFolder);

// relativePath in the first of those folders where it exists; in the program's own
// folder when it exists in none, so that a missing file reads as missing there.
QString findProgramFile(const QString& programFolder, const QString& relativePath);

}  // namespace zd
