#pragma once

#include <QString>

namespace zd {

// An entry as messages and the summary name it, in quotes: whole up to 64
// characters, else its first 64 and "…", so that one huge line in a list does
// not flood standard error. Outputs keep every entry whole.
QString shownEntry(const QString& entry);

}  // namespace zd
