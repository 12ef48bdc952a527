#pragma once

#include "map/albersusa.h"
#include "map/valuestyle.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace zd {

// One listed ZIP code on a map: where it lies and its figure's value, none
// when it has no value (it is then drawn hollow).
struct MapDot {
    QString zip;
    MapPoint point;
    std::optional<double> value;
};

// Everything a map shows beside its outlines.
struct MapPicture {
    QString title;              // the figure's label, and the vintage when there is one
    QStringList sourceLines;    // where the figures and the outlines come from
    std::vector<MapDot> dots;
    ValueStyle style;           // how the legend writes the classes' limits
    int classes = 5;            // the quantile classes wanted
};

}  // namespace zd
