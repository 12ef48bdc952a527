#include "map/albersconic.h"

#include <gtest/gtest.h>

#include <QLineF>

#include <cmath>

namespace zd {
namespace {

// Snyder, "Map Projections: A Working Manual" (USGS Professional Paper 1395,
// 1987), the Albers worked examples: standard parallels 29.5°N and 45.5°N, origin
// 23°N 96°W, the point 35°N 75°W.
TEST(AlbersConic, GivesSnydersWorkedExamples)
{
    const AlbersConic clarke1866({6378206.4, 0.00676866}, 29.5, 45.5, 23.0, -96.0);
    const QPointF onEllipsoid = clarke1866.project(35.0, -75.0);
    EXPECT_NEAR(onEllipsoid.x(), 1885472.7, 0.5);
    EXPECT_NEAR(onEllipsoid.y(), 1535925.0, 0.5);

    const AlbersConic unitSphere({1.0, 0.0}, 29.5, 45.5, 23.0, -96.0);
    const QPointF onSphere = unitSphere.project(35.0, -75.0);
    EXPECT_NEAR(onSphere.x(), 0.2952720, 1e-7);
    EXPECT_NEAR(onSphere.y(), 0.2416774, 1e-7);
}

TEST(AlbersConic, KeepsTheOriginTheMeridianAndTheAntimeridian)
{
    const AlbersConic conic(Ellipsoid::grs80(), 55.0, 65.0, 50.0, -154.0);
    EXPECT_NEAR(conic.project(50.0, -154.0).x(), 0.0, 1e-6);
    EXPECT_NEAR(conic.project(50.0, -154.0).y(), 0.0, 1e-6);
    // The central meridian is straight and north is up on it.
    EXPECT_NEAR(conic.project(70.0, -154.0).x(), 0.0, 1e-6);
    EXPECT_GT(conic.project(70.0, -154.0).y(), conic.project(60.0, -154.0).y());
    // East of 180° is beyond 179.9°W, not on the far side of the map.
    const QPointF east = conic.project(52.0, 179.9);
    const QPointF west = conic.project(52.0, -179.9);
    EXPECT_LT(east.x(), west.x());
    EXPECT_LT(QLineF(east, west).length(), 20000.0);
}

// Equal area: a small cell of a degree has the same area everywhere it is
// projected as on the ellipsoid (a sphere's cell here, checked at two latitudes).
TEST(AlbersConic, KeepsAreasOnTheSphere)
{
    const AlbersConic conic({1.0, 0.0}, 29.5, 45.5, 23.0, -96.0);
    const auto cellArea = [&](double latitude) {
        const double d = 0.01;
        const QPointF a = conic.project(latitude, -96.0);
        const QPointF b = conic.project(latitude, -96.0 + d);
        const QPointF c = conic.project(latitude + d, -96.0);
        return std::abs((b.x() - a.x()) * (c.y() - a.y()) - (b.y() - a.y()) * (c.x() - a.x()));
    };
    const auto sphereArea = [](double latitude) {
        const double r = 3.14159265358979 / 180.0;
        return 0.01 * r * (std::sin((latitude + 0.01) * r) - std::sin(latitude * r));
    };
    for (const double latitude : {25.0, 40.0, 60.0})
        EXPECT_NEAR(cellArea(latitude) / sphereArea(latitude), 1.0, 1e-3) << latitude;
}

}  // namespace
}  // namespace zd
