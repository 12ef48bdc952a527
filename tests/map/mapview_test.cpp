// The dots gathered from entries' results and the view that fits them.
#include "map/atlas.h"
#include "map/figuredots.h"
#include "map/mapview.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zd {
namespace {

MapDot dotAt(double latitude, double longitude, std::optional<double> value = 1.0)
{
    return {QStringLiteral("00000"), *projectUsa(latitude, longitude), value};
}

TEST(MapViewChoice, NearbyZipCodesGetARegionalViewThatHoldsThemWithAMargin)
{
    // Londonderry NH, Haverhill MA, Manchester NH.
    const std::vector<MapDot> dots = {dotAt(42.87, -71.37), dotAt(42.78, -71.08), dotAt(42.99, -71.46)};
    const MapView view = chooseView(dots, Atlas::installed());
    EXPECT_FALSE(view.national);
    for (const MapDot& dot : dots) {
        EXPECT_TRUE(view.frame.contains(dot.point.at));
        // Not on the edge: a margin all round.
        const QPointF at = dot.point.at;
        EXPECT_GT(std::min({at.x() - view.frame.left(), view.frame.right() - at.x(), at.y() - view.frame.top(),
                            view.frame.bottom() - at.y()}),
                  0.05 * std::min(view.frame.width(), view.frame.height()));
    }
    // Far smaller than the country.
    EXPECT_LT(view.frame.width(), 0.2 * lower48Extent(Atlas::installed()).width());
}

TEST(MapViewChoice, ARegionalViewFitsEveryPlacedZipCodeWithOrWithoutAValue)
{
    // An area some 40 miles across about Londonderry NH: the values in its
    // middle, ZIP codes without a value at its corners.
    const std::vector<MapDot> dots = {dotAt(42.87, -71.37), dotAt(42.90, -71.30), dotAt(43.15, -71.75, std::nullopt),
                                      dotAt(42.60, -71.75, std::nullopt), dotAt(43.15, -70.98, std::nullopt),
                                      dotAt(42.60, -70.98, std::nullopt)};
    const MapView view = chooseView(dots, Atlas::installed());
    ASSERT_FALSE(view.national);
    QRectF extent(dots.front().point.at, QSizeF());
    for (const MapDot& dot : dots) {
        EXPECT_TRUE(view.frame.contains(dot.point.at));
        extent |= QRectF(dot.point.at, QSizeF(1e-9, 1e-9));
    }
    // Fitted, not lost in the middle of a wider view.
    EXPECT_GT(extent.width() / view.frame.width(), 0.6);
    EXPECT_GT(extent.height() / view.frame.height(), 0.6);
}

TEST(MapViewChoice, OneDotOrALineOfDotsStillGetsAViewOfSomeSizeAndShape)
{
    const MapView single = chooseView({dotAt(42.87, -71.37)}, Atlas::installed());
    EXPECT_FALSE(single.national);
    EXPECT_GT(single.frame.width(), 0);
    EXPECT_GT(single.frame.height(), 0);
    // Dots along a parallel: the view is not a strip.
    const MapView line = chooseView({dotAt(40, -80), dotAt(40, -79), dotAt(40, -78)}, Atlas::installed());
    EXPECT_LT(line.frame.width() / line.frame.height(), 2.0);
}

TEST(MapViewChoice, ACoastToCoastListAnInsetOrNoDotsShowTheWholeCountry)
{
    const Atlas& atlas = Atlas::installed();
    EXPECT_TRUE(chooseView({dotAt(42.87, -71.37), dotAt(34.09, -118.41)}, atlas).national);
    EXPECT_TRUE(chooseView({dotAt(42.87, -71.37), dotAt(61.22, -149.9)}, atlas).national);  // Anchorage
    EXPECT_TRUE(chooseView({dotAt(21.31, -157.86)}, atlas).national);                      // Honolulu
    const MapView empty = chooseView({}, atlas);
    EXPECT_TRUE(empty.national);
    // With a margin, so that no inset's frame lies on the picture's edge.
    EXPECT_TRUE(empty.frame.adjusted(1, 1, -1, -1).contains(usaExtent()));
}

class FigureDotsTest : public ::testing::Test {
protected:
    FigureDotsTest()
    {
        const QString path = m_folder.filePath("places.tsv");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("03053\tLondonderry\tNH\t42.87\t-71.37\n01830\tHaverhill\tMA\t42.78\t-71.08\n"
                   "03101\tManchester\tNH\t42.99\t-71.46\n");
        file.close();
        m_places = PlaceNames::read(path);
    }

    static EntryResult entry(const QString& zip, QList<Figure> figures)
    {
        EntryResult result;
        result.entry = zip;
        result.zip = zip;
        result.status = EntryStatus::Found;
        result.figures = std::move(figures);
        return result;
    }

    QTemporaryDir m_folder;
    PlaceNames m_places;
};

TEST_F(FigureDotsTest, TheFigureIsFoundByItsLabelInAnyCaseOrByItsVariable)
{
    const Figure income{"Median household income (dollars)", "$84,600", std::nullopt, "DP03_0062E"};
    EXPECT_TRUE(isFigureNamed(income, "median household income (DOLLARS)"));
    EXPECT_TRUE(isFigureNamed(income, "dp03_0062e"));
    EXPECT_TRUE(isFigureNamed(income, " DP03_0062E "));
    EXPECT_FALSE(isFigureNamed(income, "Median household income"));
    EXPECT_FALSE(isFigureNamed(Figure{"Total population", "5"}, ""));
}

TEST_F(FigureDotsTest, EachZipCodeIsOneDotWithItsValueOrHollow)
{
    FigureDots dots(QStringLiteral("Median age"), m_places);
    dots.take(entry("03053", {{"Total population", "19,756"}, {"Median age", "46.0 years"}}));
    dots.take(entry("03053", {{"Median age", "46.0 years"}}));  // listed twice: one dot
    dots.take(entry("01830", {{"Median age", "-"}}));            // withheld: hollow
    dots.take(entry("03101", {}));                              // not found: hollow
    dots.take(entry("99999", {{"Median age", "30.0 years"}}));  // no coordinates
    dots.take(entry("", {}));                                   // a blank line
    ASSERT_EQ(dots.dots().size(), 3u);
    EXPECT_EQ(dots.dots()[0].zip, "03053");
    EXPECT_EQ(dots.dots()[0].value, 46.0);
    EXPECT_FALSE(dots.dots()[1].value);
    EXPECT_FALSE(dots.dots()[2].value);
    EXPECT_EQ(dots.valueCount(), 1);
    EXPECT_EQ(dots.unplacedCount(), 1);
    EXPECT_TRUE(dots.figureFound());
    EXPECT_EQ(dots.label(), "Median age");
    EXPECT_EQ(formatValue(40, dots.style()), "40.0 years");
}

// A top-coded median is drawn at its bound and the legend told of it; the
// other values say how the legend writes numbers, though the bound came first.
TEST_F(FigureDotsTest, ABoundIsDrawnAtItsNumberAndKeptForTheLegend)
{
    FigureDots dots(QStringLiteral("Median household income"), m_places);
    Figure top{"Median household income", "250,000+"};
    top.bound = FigureBound::AtLeast;
    dots.take(entry("03053", {top}));
    dots.take(entry("01830", {{"Median household income", "$95,825"}}));
    ASSERT_EQ(dots.dots().size(), 2u);
    EXPECT_EQ(dots.dots()[0].value, 250000.0);
    EXPECT_EQ(dots.valueCount(), 2);
    EXPECT_EQ(dots.bounds().atLeast, 250000.0);
    EXPECT_FALSE(dots.bounds().atMost);
    EXPECT_EQ(formatValue(250000, dots.style()), "$250,000");
}

TEST_F(FigureDotsTest, AFigureNoEntryHoldsIsNotFoundAndTheFiguresThereAreAreNamedOnce)
{
    FigureDots dots(QStringLiteral("Median rent"), m_places);
    dots.take(entry("03053", {{"Total population", "19,756"}, {"Median age", "46.0 years", std::nullopt, "DP05_0018E"}}));
    dots.take(entry("01830", {{"Total population", "60,000"}}));
    EXPECT_FALSE(dots.figureFound());
    EXPECT_EQ(dots.figuresSeen(), (QStringList{"Total population", "Median age [DP05_0018E]"}));
    // The listed ZIP codes are still drawn, hollow.
    EXPECT_EQ(dots.dots().size(), 2u);
    EXPECT_EQ(dots.valueCount(), 0);
}

TEST_F(FigureDotsTest, AFigureHeldOnlyByZipCodesThatCannotBePlacedIsStillKnown)
{
    FigureDots dots(QStringLiteral("median age"), m_places);
    dots.take(entry("09002",
                    {{"Total population", "1,000"}, {"Median age", "30.0 years", std::nullopt, "DP05_0018E"}}));
    dots.take(entry("34001", {{"Median age", "31.0 years", std::nullopt, "DP05_0018E"}}));
    EXPECT_TRUE(dots.figureFound());
    EXPECT_EQ(dots.label(), "Median age");
    EXPECT_TRUE(dots.dots().empty());
    EXPECT_EQ(dots.valueCount(), 0);
    EXPECT_EQ(dots.unplacedCount(), 2);
}

}  // namespace
}  // namespace zd
