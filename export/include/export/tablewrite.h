#pragma once

#include <QString>

namespace zd {

// What became of writing a results file: written, or why not. A failed write
// leaves the target as it was.
struct TableWriteOutcome {
    bool written = false;
    QString description;
};

}  // namespace zd
