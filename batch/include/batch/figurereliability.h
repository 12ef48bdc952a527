#pragma once

#include "export/resultstable.h"

namespace zd {

// Gives each figure that has a margin of error its coefficient of variation
// ("7.3%") and reliability word ("high", "medium", "low"), worked out from the
// value and margin as shown; a zero estimate, a bound ("250,000+") or a
// figure that is not a number gets neither.
void addReliability(EntryResult& result);

// What the workbook's About sheet says of the coefficient of variation, the
// words and the shading of low figures.
QString reliabilityKey();

}  // namespace zd
