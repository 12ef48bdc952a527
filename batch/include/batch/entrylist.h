#pragma once

#include "core/packedstrings.h"

#include <QString>
#include <QStringList>

namespace zd {

// The entries of a run: those of each zip list file, in the order the files are
// given and by the zip list file rules, then those of the command line. Throws
// AppError naming the file when one cannot be read. They are kept packed, for a
// list may hold every ZIP code of the country and more.
PackedStrings collectEntries(const QStringList& zipFiles, const QStringList& commandLineEntries);

}  // namespace zd
