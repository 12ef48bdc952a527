#pragma once

#include "census/censusanswer.h"
#include "census/censusvariables.h"

#include <QString>

namespace zd {

// A figure as shown: the API's number written for its kind, "19,756", "18.7%",
// "$136,900", "41.2 years", "27.3 minutes"; empty when there is no estimate.
QString censusDisplayValue(const CensusValue& value, FigureKind kind);

}  // namespace zd
