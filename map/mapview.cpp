#include "map/mapview.h"

#include "map/atlas.h"

#include <algorithm>

namespace zd {
namespace {

constexpr double kNationalShare = 0.5;   // of the 48 states' width or height
constexpr double kMarginShare = 0.12;    // of the dots' extent, on each side
constexpr double kSmallestShare = 0.015;   // of the 48 states' width (some 40 miles): a view of one dot
constexpr double kWidestShape = 1.8;     // width over height, and height over width

QRectF dotsExtent(const std::vector<MapDot>& dots)
{
    QRectF extent(dots.front().point.at, QSizeF(0, 0));
    for (const MapDot& dot : dots) {
        const QPointF at = dot.point.at;
        extent.setLeft(std::min(extent.left(), at.x()));
        extent.setRight(std::max(extent.right(), at.x()));
        extent.setTop(std::min(extent.top(), at.y()));
        extent.setBottom(std::max(extent.bottom(), at.y()));
    }
    return extent;
}

bool spansTheCountry(const std::vector<MapDot>& dots, const QRectF& extent, const QRectF& lower48)
{
    const bool inInset = std::any_of(dots.cbegin(), dots.cend(),
                                     [](const MapDot& dot) { return dot.point.region != MapRegion::Lower48; });
    return inInset || extent.width() > kNationalShare * lower48.width()
           || extent.height() > kNationalShare * lower48.height();
}

// The extent grown by its margin, to at least the smallest view, and to a shape
// no narrower than kWidestShape allows, about the same centre.
QRectF regionalFrame(const QRectF& extent, const QRectF& lower48)
{
    const double smallest = kSmallestShare * lower48.width();
    double width = std::max(extent.width() * (1 + 2 * kMarginShare), smallest);
    double height = std::max(extent.height() * (1 + 2 * kMarginShare), smallest);
    width = std::max(width, height / kWidestShape);
    height = std::max(height, width / kWidestShape);
    QRectF frame(0, 0, width, height);
    frame.moveCenter(extent.center());
    return frame;
}

// The whole layout with a margin, so that no inset's frame lies on the edge.
MapView nationalView()
{
    const QRectF whole = usaExtent();
    const double margin = 0.02 * whole.width();
    return {whole.adjusted(-margin, -margin, margin, margin), true};
}

}  // namespace

QRectF lower48Extent(const Atlas& atlas)
{
    QRectF extent;
    for (const Outline& state : atlas.states()) {
        if (state.region == MapRegion::Lower48)
            extent = extent.united(state.path.boundingRect());
    }
    return extent.isEmpty() ? usaExtent() : extent;
}

MapView chooseView(const std::vector<MapDot>& dots, const Atlas& atlas)
{
    const QRectF lower48 = lower48Extent(atlas);
    if (dots.empty())
        return nationalView();
    const QRectF extent = dotsExtent(dots);
    if (spansTheCountry(dots, extent, lower48))
        return nationalView();
    return {regionalFrame(extent, lower48), false};
}

}  // namespace zd
