#pragma once

#include "census/censusanswer.h"
#include "census/censusvariables.h"
#include "census/codedmedians.h"

#include <QByteArrayView>
#include <QString>

namespace zd {

// A figure and its margin as the Bureau means them, read from their values in
// an answer's row: a coded median (its margin -333333333, or a value its
// coding names while no margin says otherwise) becomes its bound with its side
// and no margin; a margin of -555555555 (a controlled estimate) is 0; any other
// annotation is no value.
struct CensusReading {
    CensusValue estimate;  // a plain decimal: the figure, or a coded median's bound
    CensusBound bound = CensusBound::None;
    CensusValue margin;    // a plain decimal
};
CensusReading readCensusFigure(QByteArrayView estimate, QByteArrayView margin, const MedianCoding& coding);

// A figure as shown: the API's number written for its kind, "19,756", "18.7%",
// "$136,900", "41.2 years", "27.3 minutes"; a bound with its side after it,
// "250,000+", "2,500-"; empty when there is no estimate. Zero has no sign.
QString censusDisplayValue(const CensusValue& value, FigureKind kind, CensusBound bound = CensusBound::None);

}  // namespace zd
