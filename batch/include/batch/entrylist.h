#pragma once

#include <QString>
#include <QStringList>

namespace zd {

// The entries of a run: those of each zip list file, in the order the files are
// given and by the zip list file rules, then those of the command line. Throws
// AppError naming the file when one cannot be read.
QStringList collectEntries(const QStringList& zipFiles, const QStringList& commandLineEntries);

}  // namespace zd
