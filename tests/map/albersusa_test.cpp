#include "map/albersusa.h"
#include "map/atlas.h"

#include "census/placenames.h"

#include <gtest/gtest.h>

#include <QHash>

#include <cmath>
#include <limits>

namespace zd {
namespace {

std::optional<MapRegion> regionAt(double latitude, double longitude)
{
    const auto point = projectUsa(latitude, longitude);
    return point ? std::optional(point->region) : std::nullopt;
}

TEST(AlbersUsa, TellsThePartsApartAndPlacesNothingElse)
{
    EXPECT_EQ(regionAt(39.1, -94.6), MapRegion::Lower48);      // Kansas City
    EXPECT_EQ(regionAt(24.55, -81.8), MapRegion::Lower48);     // Key West
    EXPECT_EQ(regionAt(61.2, -149.9), MapRegion::Alaska);      // Anchorage
    EXPECT_EQ(regionAt(55.3, -131.6), MapRegion::Alaska);      // Ketchikan
    EXPECT_EQ(regionAt(52.9, 173.2), MapRegion::Alaska);       // Attu, east of 180°
    EXPECT_EQ(regionAt(21.3, -157.85), MapRegion::Hawaii);     // Honolulu
    EXPECT_EQ(regionAt(18.47, -66.1), MapRegion::PuertoRico);  // San Juan
    EXPECT_EQ(regionAt(13.47, 144.75), std::nullopt);          // Guam
    EXPECT_EQ(regionAt(18.34, -64.93), std::nullopt);          // Charlotte Amalie
    EXPECT_EQ(regionAt(51.5, -0.1), std::nullopt);             // London
    EXPECT_EQ(regionAt(0.0, 0.0), std::nullopt);                // a place table's missing coordinates
    EXPECT_EQ(regionAt(std::nan(""), -94.6), std::nullopt);
    EXPECT_EQ(regionAt(39.1, std::numeric_limits<double>::infinity()), std::nullopt);
    EXPECT_EQ(regionAt(61.2, std::numeric_limits<double>::infinity()), std::nullopt);
}

// The 48 states' conic puts its origin (23°N 96°W) at 0, 0 and runs x east and
// y south in kilometres: Snyder's ellipsoidal example, moved to GRS80, is within a
// few hundred metres of the Clarke 1866 figures (1885.5 km east, 1535.9 km north).
TEST(AlbersUsa, PlacesTheFortyEightStatesInKilometresWithYSouth)
{
    // The origin lies south of the box that tells the 48 states apart, so it is
    // projected in their region by name.
    ASSERT_FALSE(projectUsa(23.0, -96.0).has_value());
    const QPointF origin = projectInRegion(MapRegion::Lower48, 23.0, -96.0);
    EXPECT_NEAR(origin.x(), 0.0, 1e-9);
    EXPECT_NEAR(origin.y(), 0.0, 1e-9);
    const QPointF example = projectUsa(35.0, -75.0)->at;
    EXPECT_NEAR(example.x(), 1885.5, 1.0);
    EXPECT_NEAR(example.y(), -1535.9, 1.0);
    const QPointF seattle = projectUsa(47.6, -122.3)->at;
    const QPointF miami = projectUsa(25.8, -80.2)->at;
    EXPECT_LT(seattle.x(), miami.x());
    EXPECT_LT(seattle.y(), miami.y());
}

TEST(AlbersUsa, ScalesTheInsetsAsTheNationalMapsDo)
{
    // Anchorage to Fairbanks is about 420 km, Hilo to Honolulu about 340 km and
    // San Juan to Ponce about 75 km.
    const auto distance = [](double lat1, double lon1, double lat2, double lon2) {
        return QLineF(projectUsa(lat1, lon1)->at, projectUsa(lat2, lon2)->at).length();
    };
    EXPECT_NEAR(distance(61.22, -149.9, 64.84, -147.72) / 420.0, 0.35, 0.02);
    EXPECT_NEAR(distance(19.72, -155.08, 21.31, -157.86) / 338.0, 1.15, 0.05);
    EXPECT_NEAR(distance(18.47, -66.11, 18.01, -66.61) / 74.0, 2.0, 0.1);
}

TEST(AlbersUsa, InsetsLieInTheirFramesApartFromEachOtherAndTheFortyEightStates)
{
    const Atlas& atlas = Atlas::installed();
    ASSERT_EQ(atlas.error(), "");
    const QRectF extent = usaExtent();
    const std::vector<MapRegion> insets{MapRegion::Alaska, MapRegion::Hawaii, MapRegion::PuertoRico};
    EXPECT_TRUE(insetFrame(MapRegion::Lower48).isEmpty());
    for (const MapRegion inset : insets) {
        EXPECT_FALSE(insetFrame(inset).isEmpty());
        EXPECT_TRUE(extent.contains(insetFrame(inset)));
        for (const MapRegion other : insets)
            EXPECT_TRUE(inset == other || !insetFrame(inset).intersects(insetFrame(other)));
    }
    for (const Outline& state : atlas.states()) {
        EXPECT_TRUE(extent.contains(state.path.boundingRect())) << state.name.toStdString();
        if (state.region != MapRegion::Lower48) {
            EXPECT_TRUE(insetFrame(state.region).contains(state.path.boundingRect()))
                << state.name.toStdString();
            continue;
        }
        for (const MapRegion inset : insets)
            EXPECT_FALSE(state.path.intersects(insetFrame(inset))) << state.name.toStdString();
    }
}

// Each ZIP code's coordinates land inside its own state's outline, but for a
// small share (the outlines are simplified; coastal and island points fall just
// outside): 13,730 of 13,769 sampled in the 48 states, 85 of 87 in Alaska.
TEST(AlbersUsa, ZipCodesLandInsideTheirStates)
{
    const PlaceNames& places = PlaceNames::installed();
    QHash<QString, const Outline*> stateByCode;
    for (const Outline& state : Atlas::installed().states())
        stateByCode.insert(state.stateCode, &state);
    ASSERT_EQ(stateByCode.size(), 52);

    QHash<MapRegion, int> tried;
    QHash<MapRegion, int> inside;
    int wrongRegion = 0;
    for (int number = 0; number < 100000; number += 3) {
        const auto place = places.find(QStringLiteral("%1").arg(number, 5, 10, QLatin1Char('0')));
        if (!place || !stateByCode.contains(place->state) || (place->latitude == 0 && place->longitude == 0))
            continue;
        const Outline& state = *stateByCode.value(place->state);
        const auto point = projectUsa(place->latitude, place->longitude);
        ++tried[state.region];
        if (!point || point->region != state.region) {
            ++wrongRegion;
            continue;
        }
        if (state.path.contains(point->at))
            ++inside[state.region];
    }
    EXPECT_GT(tried.value(MapRegion::Lower48), 10000);
    for (const MapRegion region : {MapRegion::Lower48, MapRegion::Alaska, MapRegion::Hawaii, MapRegion::PuertoRico}) {
        ASSERT_GT(tried.value(region), 10) << int(region);
        const double share = double(inside.value(region)) / tried.value(region);
        EXPECT_GT(share, region == MapRegion::Lower48 ? 0.99 : 0.95) << "region " << int(region) << ": " << inside.value(region) << " of "
                              << tried.value(region);
    }
    EXPECT_LT(wrongRegion, 20);
}

}  // namespace
}  // namespace zd
