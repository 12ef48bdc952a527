#pragma once

#include "census/censuslabels.h"

#include <QList>

namespace zd::test {

// The vintages whose real variable lists are kept in data/census-profiles.
const QList<int>& keptProfileYears();
// A kept year's list as the API's variables.json gives it (estimates, percents
// and their margins of error), read through CensusLabels::parse.
CensusLabels keptProfileLabels(int year);

}  // namespace zd::test
