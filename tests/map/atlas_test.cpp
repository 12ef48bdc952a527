#include "map/atlas.h"
#include "map/outlinesfile.h"

#include "tests/support/wholefile.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSet>
#include <QTemporaryDir>

namespace zd {
namespace {

QByteArray installedBytes()
{
    QFile file(QStringLiteral(ZD_OUTLINES_FILE));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(Atlas, TheProgramsOutlinesHoldEveryStateAndItsCounties)
{
    const Atlas& atlas = Atlas::installed();
    ASSERT_EQ(atlas.error(), "");
    EXPECT_EQ(atlas.sourceLine(),
              "Boundaries: U.S. Census Bureau cartographic boundary files 2017 (us-atlas 3.0.1)");
    ASSERT_EQ(atlas.states().size(), 52u);  // 50 states, the District of Columbia, Puerto Rico
    EXPECT_GT(atlas.counties().size(), 3200u);

    QSet<QString> stateCodes;
    for (const Outline& state : atlas.states()) {
        EXPECT_EQ(state.fips.size(), 2);
        EXPECT_FALSE(state.path.isEmpty()) << state.name.toStdString();
        EXPECT_EQ(regionOfState(state.stateCode), state.region);
        stateCodes.insert(state.stateCode);
    }
    EXPECT_EQ(stateCodes.size(), 52);
    for (const Outline& county : atlas.counties()) {
        EXPECT_TRUE(stateCodes.contains(county.stateCode)) << county.fips.toStdString();
        EXPECT_EQ(county.fips.size(), 5);
    }
    EXPECT_EQ(atlas.countiesOf("DE").size(), 3u);
    EXPECT_EQ(atlas.countiesOf("CA").size(), 58u);
    EXPECT_EQ(atlas.countiesOf("TX").size(), 254u);
    for (const Outline* county : atlas.countiesOf("PR"))
        EXPECT_TRUE(county->fips.startsWith("72") && county->region == MapRegion::PuertoRico);
    EXPECT_TRUE(atlas.countiesOf("GU").empty());
}

TEST(Atlas, ACountyLiesInItsStateAndTheirNamesAreRead)
{
    const Atlas& atlas = Atlas::installed();
    const auto find = [](const std::vector<Outline>& outlines, const QString& fips) {
        return std::find_if(outlines.begin(), outlines.end(), [&](const Outline& o) { return o.fips == fips; });
    };
    const auto california = find(atlas.states(), "06");
    const auto losAngeles = find(atlas.counties(), "06037");
    ASSERT_NE(california, atlas.states().end());
    ASSERT_NE(losAngeles, atlas.counties().end());
    EXPECT_EQ(california->name, "California");
    EXPECT_EQ(losAngeles->name, "Los Angeles");
    EXPECT_EQ(losAngeles->stateCode, "CA");
    EXPECT_TRUE(california->path.boundingRect().contains(losAngeles->path.boundingRect()));
    const QPointF downtown = projectUsa(34.05, -118.25)->at;
    EXPECT_TRUE(losAngeles->path.contains(downtown));
    EXPECT_TRUE(california->path.contains(downtown));
    EXPECT_FALSE(find(atlas.states(), "32")->path.contains(downtown));  // Nevada
    // A name beyond ASCII comes through whole.
    const auto donaAna = find(atlas.counties(), "35013");
    ASSERT_NE(donaAna, atlas.counties().end());
    EXPECT_EQ(donaAna->name, QString::fromUtf8("Doña Ana"));
}

// The area inside a path's rings, each ring's signed area summed so that a hole
// (wound the other way) is taken out.
double areaOf(const QPainterPath& path)
{
    double twice = 0;
    for (const QPolygonF& ring : path.toSubpathPolygons())
        for (qsizetype i = 0; i + 1 < ring.size(); ++i)
            twice += ring[i].x() * ring[i + 1].y() - ring[i + 1].x() * ring[i].y();
    return std::abs(twice) / 2;
}

// The projection keeps areas, so each state's outline, read and joined from its
// arcs, covers its area: the Census Bureau's land and inland water in km², the
// coastal and Great Lakes waters outside the outlines, so within a few per cent.
// An inset's area is scaled by the square of its scale.
TEST(Atlas, StatesCoverTheirAreasOnTheEqualAreaLayout)
{
    const QHash<QString, std::pair<double, double>> areaAndScale{
        {"CO", {269837, 1.0}}, {"KS", {213100, 1.0}}, {"TX", {688000, 1.0}},
        {"CA", {410000, 1.0}}, {"FL", {150000, 1.0}}, {"DC", {177, 1.0}},
        {"AK", {1500000, 0.35}}, {"HI", {16600, 1.15}}, {"PR", {9000, 2.0}}};
    for (const Outline& state : Atlas::installed().states()) {
        if (!areaAndScale.contains(state.stateCode))
            continue;
        const auto [area, scale] = areaAndScale.value(state.stateCode);
        EXPECT_NEAR(areaOf(state.path) / (scale * scale) / area, 1.0, 0.06) << state.name.toStdString();
    }
}

TEST(Atlas, AMissingTruncatedOrGarbledFileGivesAnErrorAndNoOutlines)
{
    const QByteArray good = installedBytes();
    ASSERT_GT(good.size(), 100000);
    QTemporaryDir dir;
    const auto atlasOf = [&](const QByteArray& bytes) {
        const QString path = dir.filePath("outlines.bin");
        EXPECT_TRUE(test::writeWholeFile(path, bytes));
        return Atlas::read(path);
    };
    const auto expectRefused = [](const Atlas& atlas, const char* why) {
        EXPECT_TRUE(atlas.error().contains(why)) << atlas.error().toStdString();
        EXPECT_TRUE(atlas.states().empty());
        EXPECT_TRUE(atlas.counties().empty());
        EXPECT_EQ(atlas.sourceLine(), "");
    };
    EXPECT_EQ(atlasOf(good).error(), "");

    const Atlas missing = Atlas::read(dir.filePath("missing.bin"));
    expectRefused(missing, "cannot be read");
    EXPECT_TRUE(missing.error().contains(dir.filePath("missing.bin")));

    expectRefused(atlasOf(QByteArray()), "not an outlines file");
    expectRefused(atlasOf("state,county\nCA,Los Angeles\n"), "not an outlines file");
    for (const qsizetype length : {qsizetype(12), qsizetype(50), good.size() / 2, good.size() - 1})
        expectRefused(atlasOf(good.first(length)), "damaged");
    expectRefused(atlasOf(good + "extra"), "does not end where it should");

    // Bytes overwritten in the header, in the counts and in the middle of the points.
    QByteArray hugeCount = good;
    const qsizetype counts = 8 + 32 + 4 + good.mid(40, 4).at(0);
    hugeCount.replace(counts, 4, QByteArray(4, '\xff'));
    expectRefused(atlasOf(hugeCount), "count is larger than the file");
    QByteArray noGrid = good;
    noGrid.replace(8, 8, QByteArray(8, '\xff'));  // a NaN scale
    expectRefused(atlasOf(noGrid), "grid");
    QByteArray runOn = good;
    runOn.replace(good.size() / 2, 16, QByteArray(16, '\x80'));
    expectRefused(atlasOf(runOn), "damaged");
}

// Random damage anywhere in the file is refused or read, never a crash: checked
// over many seeded garblings (the sanitizer build makes an overread fatal).
TEST(Atlas, GarbledBytesAnywhereAreRefusedWithoutACrash)
{
    const QByteArray good = installedBytes();
    ASSERT_FALSE(good.isEmpty());
    std::uint32_t seed = 24;
    const auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    int refused = 0;
    for (int round = 0; round < 200; ++round) {
        QByteArray garbled = good;
        const int changes = 1 + next() % 8;
        for (int i = 0; i < changes; ++i)
            garbled[qsizetype(next() % quint32(garbled.size()))] = char(next() >> 24);
        const OutlinesFile decoded = decodeOutlinesFile(garbled);
        if (!decoded.problem.isEmpty()) {
            ++refused;
            EXPECT_TRUE(decoded.states.empty() && decoded.counties.empty());
        }
    }
    EXPECT_GT(refused, 100);
}

}  // namespace
}  // namespace zd
