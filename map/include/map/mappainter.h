#pragma once

#include "map/mappicture.h"
#include "map/mapview.h"

#include <QSize>

class QPainter;

namespace zd {

class Atlas;

// Where the parts of a map lie on a picture `width` pixels wide: the title
// across the top, the map, its legend on the right, the source lines below.
struct MapLayout {
    explicit MapLayout(int width, const MapView& view, const MapPicture& picture);

    QSize size;
    QRectF mapArea;
    QPointF legendAt;
    int titlePixels = 0;
    int textPixels = 0;
    int smallPixels = 0;
};

// Paints the map: the land and the outlines (the counties under the states in a
// regional view), the dots coloured by their quantile class (a thin light grey
// ring without a value), the title, the legend with each class's limits in the figure's
// unit, and the source lines, in the generic sans-serif family.
void paintMap(QPainter& painter, const MapPicture& picture, const MapView& view, const MapLayout& layout,
              const Atlas& atlas);

}  // namespace zd
