#pragma once

#include "map/mappicture.h"

#include <QRectF>

#include <vector>

namespace zd {

class Atlas;

// The part of the map a picture shows, in map units.
struct MapView {
    QRectF frame;
    bool national = false;  // the whole layout with its insets; else a region, with counties
};

// The 48 states' extent (the outlines of the lower 48, else the whole layout).
QRectF lower48Extent(const Atlas& atlas);

// The view that fits the dots with a margin. Dots across the country (spanning
// more than half the 48 states' width or height), dots in an inset, or no dots
// at all get the national layout; any other list a regional view, neither much
// wider than high nor much higher than wide.
MapView chooseView(const std::vector<MapDot>& dots, const Atlas& atlas);

}  // namespace zd
