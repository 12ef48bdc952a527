#pragma once

#include "map/atlas.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace zd {

// The contents of an outlines file (scripts/import-atlas describes its format),
// projected onto the national layout as they are read.
struct OutlinesFile {
    std::vector<Outline> states;
    std::vector<Outline> counties;
    QString sourceLine;
    QString problem;   // what is wrong with the bytes; empty when they were read whole
};

// Reads the bytes of an outlines file. Every count and point is checked against
// the bytes left and the globe, so a truncated or garbled file gives a problem
// and no outlines, never a crash or a huge allocation.
OutlinesFile decodeOutlinesFile(const QByteArray& bytes);

}  // namespace zd
