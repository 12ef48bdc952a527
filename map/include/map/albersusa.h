#pragma once

#include <QPointF>
#include <QRectF>

#include <optional>

namespace zd {

enum class MapRegion { Lower48, Alaska, Hawaii, PuertoRico };
struct MapPoint {
    QPointF at;
    MapRegion region;
};
std::optional<MapPoint> projectUsa(double latitude, double longitude);
QRectF usaExtent();
QRectF insetFrame(MapRegion region);

}  // namespace zd
