// Great-circle distances against figures worked out by hand, and the latitude
// index against measuring every point.
#include "area/greatcircle.h"
#include "area/latitudeindex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numbers>
#include <random>

namespace zd::test {
namespace {

TEST(GreatCircle, KnownDistancesOnTheSphereOf3958Point8Miles)
{
    // One degree along a meridian, and along the equator: 2πR/360.
    const double degree = 2 * std::numbers::pi * 3958.8 / 360;
    EXPECT_NEAR(greatCircleMiles({0, 0}, {1, 0}), degree, 1e-9);
    EXPECT_NEAR(greatCircleMiles({0, 10}, {0, 11}), degree, 1e-9);
    // At 60° north a degree of longitude is half as long (to first order).
    EXPECT_NEAR(greatCircleMiles({60, 0}, {60, 0.01}), degree * 0.01 / 2, 1e-4);
    // Antipodes: half the circumference (to a foot: asin is coarse near 1), without a NaN.
    EXPECT_NEAR(greatCircleMiles({40, -100}, {-40, 80}), std::numbers::pi * 3958.8, 1e-3);
    EXPECT_EQ(greatCircleMiles({42.8656, -71.3772}, {42.8656, -71.3772}), 0.0);
    // Across the 180th meridian the short way round.
    EXPECT_NEAR(greatCircleMiles({52, 179.9}, {52, -179.9}), greatCircleMiles({52, -0.1}, {52, 0.1}), 1e-9);
    // Symmetric.
    EXPECT_DOUBLE_EQ(greatCircleMiles({42.36, -71.06}, {40.71, -74.01}),
                     greatCircleMiles({40.71, -74.01}, {42.36, -71.06}));
}

std::vector<int> idsOf(std::vector<PointWithin> found)
{
    std::vector<int> ids;
    for (const PointWithin& point : found)
        ids.push_back(point.id);
    std::sort(ids.begin(), ids.end());
    return ids;
}

TEST(LatitudeIndex, FindsWhatMeasuringEveryPointFindsAcrossTheGlobe)
{
    std::mt19937 random(23);
    std::uniform_real_distribution<double> latitude(-89.9, 89.9), longitude(-180, 180), miles(0, 3000);
    std::vector<IndexedPoint> points;
    for (int id = 0; id < 3000; ++id)
        points.push_back({{latitude(random), longitude(random)}, id});
    const LatitudeIndex index(points);
    for (int probe = 0; probe < 200; ++probe) {
        const GeoPoint centre{latitude(random), longitude(random)};
        const double within = miles(random);
        std::vector<PointWithin> measured;
        for (const IndexedPoint& point : points) {
            if (greatCircleMiles(centre, point.point) <= within)
                measured.push_back({point.id, 0});
        }
        EXPECT_EQ(idsOf(index.within(centre, within)), idsOf(measured)) << centre.latitude << "," << centre.longitude;
    }
}

TEST(LatitudeIndex, KeepsTheBoundaryTheAntimeridianAndThePoles)
{
    const LatitudeIndex index({{{52, 179.95}, 1}, {{52, -179.95}, 2}, {{89.99, 0}, 3}, {{89.99, 180}, 4}, {{0, 0}, 5}});
    EXPECT_EQ(idsOf(index.within({52, 179.99}, 5)), (std::vector<int>{1, 2}));
    EXPECT_EQ(idsOf(index.within({89.99, 90}, 2)), (std::vector<int>{3, 4}));
    // A point exactly at the distance is in.
    const double exact = greatCircleMiles({52, 179.95}, {52, -179.95});
    EXPECT_EQ(idsOf(index.within({52, 179.95}, exact)), (std::vector<int>{1, 2}));
    EXPECT_EQ(idsOf(index.within({52, 179.95}, exact * 0.999)), (std::vector<int>{1}));
    EXPECT_EQ(idsOf(index.within({0, 0}, 0)), (std::vector<int>{5}));
    EXPECT_TRUE(LatitudeIndex({}).within({0, 0}, 3000).empty());
}

}  // namespace
}  // namespace zd::test
