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

// Values shown as bounds: a median the Bureau gives as "250,000+" is drawn at
// 250000 and the legend's class that ends there says "250,000+".
struct MapBounds {
    std::optional<double> atLeast;
    std::optional<double> atMost;
};

// Everything a map shows beside its outlines.
struct MapPicture {
    QString title;              // the figure's label, and the vintage when there is one
    QStringList sourceLines;    // where the figures and the outlines come from
    std::vector<MapDot> dots;
    ValueStyle style;           // how the legend writes the classes' limits
    int classes = 5;            // the quantile classes wanted
    MapBounds bounds;           // the bounds among the values
};

}  // namespace zd
