// Maps drawn from prepared pictures and read back: the SVG's dots, colours,
// legend and captions, the PNG's size and content, and the file's writing.
#include "map/atlas.h"
#include "map/mapfile.h"
#include "map/mappainter.h"
#include "tests/support/svgshapes.h"
#include "tests/support/unprivilegedscope.h"
#include "tests/support/wholefile.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace zd {
namespace {

using test::SvgShapes;

// Twelve ZIP codes of New England, eleven with a value and one without.
MapPicture newEnglandPicture()
{
    MapPicture picture;
    picture.title = QStringLiteral("Median household income");
    picture.sourceLines = {QStringLiteral("Figures: 127.0.0.1:8080"), QStringLiteral("Outlines: test")};
    picture.style = valueStyleOf({QStringLiteral("$136,900")});
    for (int i = 0; i < 12; ++i) {
        std::optional<double> value;
        if (i != 5)
            value = 40000.0 + 9000.0 * ((i * 7) % 12);
        picture.dots.push_back({QString::number(3000 + i), *projectUsa(42.5 + 0.1 * i, -71.5 + 0.07 * (i % 5)), value});
    }
    return picture;
}

SvgShapes drawnSvg(const MapPicture& picture, int width = kDefaultMapWidth)
{
    return test::readSvgShapes(drawMap(picture, MapFormat::Svg, width, Atlas::installed()));
}

TEST(MapSvg, OneDotPerZipCodeFilledWithItsClassColourOrHollow)
{
    const MapPicture picture = newEnglandPicture();
    const SvgShapes svg = drawnSvg(picture);
    ASSERT_TRUE(svg.wellFormed);
    ASSERT_EQ(svg.circles.size(), qsizetype(picture.dots.size()));
    EXPECT_EQ(svg.circleFills().count(QStringLiteral("none")), 1);
    const QStringList swatches = svg.swatchColours();
    const QList<QPair<double, double>> limits = svg.legendLimits();
    ASSERT_EQ(limits.size(), 5);
    ASSERT_EQ(swatches.size(), 5);
    EXPECT_EQ(QSet<QString>(swatches.begin(), swatches.end()).size(), 5);
    // Each value's colour is the swatch of the legend row whose limits hold it.
    QList<double> values;
    for (const MapDot& dot : picture.dots) {
        if (dot.value)
            values.append(*dot.value);
    }
    EXPECT_EQ(svg.sortedFilledCircles(), svg.classColoursOf(values));
}

TEST(MapSvg, TheLegendWritesTheLimitsInTheFiguresUnitAndNamesTheHollowDots)
{
    const SvgShapes svg = drawnSvg(newEnglandPicture());
    EXPECT_TRUE(svg.texts.contains(QStringLiteral("$40,000 \u2013 $58,000")));
    EXPECT_TRUE(svg.texts.contains(QStringLiteral("No value")));
    // Limits rise from row to row.
    const QList<QPair<double, double>> limits = svg.legendLimits();
    for (qsizetype c = 1; c < limits.size(); ++c)
        EXPECT_GT(limits[c].first, limits[c - 1].second);
}

// A median the Bureau gives as "250,000+" or "2,500-" is drawn at its bound, in
// the top or bottom class, whose limit says it is a bound.
TEST(MapSvg, ALegendLimitThatIsABoundSaysSo)
{
    MapPicture picture = newEnglandPicture();
    picture.dots[0].value = 250000;
    picture.dots[1].value = 2500;
    picture.bounds = {250000.0, 2500.0};
    const SvgShapes svg = drawnSvg(picture);
    const auto rowWith = [&](const QString& part, bool atEnd) {
        return std::any_of(svg.texts.begin(), svg.texts.end(), [&](const QString& text) {
            return atEnd ? text.endsWith(part) : text.startsWith(part);
        });
    };
    EXPECT_TRUE(rowWith(QStringLiteral(" \u2013 $250,000+"), true)) << svg.texts.join(" | ").toStdString();
    EXPECT_TRUE(rowWith(QStringLiteral("$2,500- \u2013 "), false)) << svg.texts.join(" | ").toStdString();
    picture.bounds = {};
    EXPECT_FALSE(drawnSvg(picture).texts.join(" ").contains(QStringLiteral("250,000+")));
}

TEST(MapSvg, TitleAndSourceLinesAreWrittenAndNamedInTheDocument)
{
    const SvgShapes svg = drawnSvg(newEnglandPicture());
    EXPECT_EQ(svg.title, "Median household income");
    EXPECT_TRUE(svg.texts.contains("Median household income"));
    EXPECT_TRUE(svg.texts.contains("Figures: 127.0.0.1:8080"));
    EXPECT_TRUE(svg.texts.contains("Outlines: test"));
    EXPECT_TRUE(svg.description.contains("Figures: 127.0.0.1:8080"));
}

TEST(MapSvg, FewerClassesAskedOrFewerDistinctValuesGiveFewerColours)
{
    MapPicture picture = newEnglandPicture();
    picture.classes = 3;
    EXPECT_EQ(drawnSvg(picture).swatchColours().size(), 3);
    for (MapDot& dot : picture.dots)
        dot.value = dot.value ? std::optional<double>(*dot.value > 80000 ? 2 : 1) : std::nullopt;
    picture.classes = 5;
    const SvgShapes twoValues = drawnSvg(picture);
    EXPECT_EQ(twoValues.swatchColours().size(), 2);
    const QStringList fills = twoValues.circleFills();
    EXPECT_EQ(QSet<QString>(fills.begin(), fills.end()).size(), 3);  // and "none"
}

TEST(MapSvg, WithoutAnyValueTheDotsAreHollowAndNoClassIsShown)
{
    MapPicture picture = newEnglandPicture();
    for (MapDot& dot : picture.dots)
        dot.value.reset();
    const SvgShapes svg = drawnSvg(picture);
    EXPECT_EQ(svg.circleFills().count(QStringLiteral("none")), qsizetype(picture.dots.size()));
    EXPECT_TRUE(svg.swatchColours().isEmpty());
    EXPECT_TRUE(svg.texts.contains("No values"));
    // No dots at all: the outlines and captions still make a picture.
    picture.dots.clear();
    const SvgShapes empty = drawnSvg(picture);
    EXPECT_TRUE(empty.wellFormed);
    EXPECT_TRUE(empty.circles.isEmpty());
    EXPECT_TRUE(empty.texts.contains("Median household income"));
}

TEST(MapSvg, OutlinesOfARegionalViewShowOnlyInsideTheMapsArea)
{
    // An SVG keeps no clip: what runs past the map's area must be covered.
    const MapPicture picture = newEnglandPicture();
    const int width = 800;
    const MapLayout layout(width, chooseView(picture.dots, Atlas::installed()), picture);
    QSvgRenderer renderer(drawMap(picture, MapFormat::Svg, width, Atlas::installed()));
    ASSERT_TRUE(renderer.isValid());
    QImage image(layout.size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    // Beside the map's lower half, below the legend, and above the map right of the title: white.
    qsizetype marked = 0;
    for (int y = int(layout.mapArea.center().y()); y < int(layout.mapArea.bottom()) - 2; ++y) {
        for (int x = int(layout.mapArea.right()) + 2; x < width; ++x)
            marked += image.pixel(x, y) != qRgb(255, 255, 255);
    }
    for (int y = 0; y < int(layout.mapArea.top()) - 2; ++y) {
        for (int x = width / 2; x < int(layout.mapArea.right()); ++x)
            marked += image.pixel(x, y) != qRgb(255, 255, 255);
    }
    EXPECT_EQ(marked, 0);
    // And inside it the land is drawn.
    EXPECT_NE(image.pixel(layout.mapArea.center().toPoint()), qRgb(255, 255, 255));
}

TEST(MapPng, IsAsWideAsAskedAndNotBlank)
{
    for (const int width : {kNarrowestMap, 900, kDefaultMapWidth}) {
        SCOPED_TRACE(width);
        QImage image;
        ASSERT_TRUE(image.loadFromData(drawMap(newEnglandPicture(), MapFormat::Png, width, Atlas::installed()), "PNG"));
        EXPECT_EQ(image.width(), width);
        EXPECT_GT(image.height(), width / 3);
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); y += 2) {
            for (int x = 0; x < image.width(); x += 2)
                colours.insert(image.pixel(x, y));
        }
        EXPECT_GT(colours.size(), 8);
    }
}

// What a dot adds to the picture in dark: over the square it lies in, each
// pixel's fall in lightness from the same picture drawn without dots.
double inkOfDot(const QImage& drawn, const QImage& ground, QPoint centre, int radius)
{
    double ink = 0;
    for (int y = centre.y() - radius - 2; y <= centre.y() + radius + 2; ++y) {
        for (int x = centre.x() - radius - 2; x <= centre.x() + radius + 2; ++x)
            ink += std::max(0, qGray(ground.pixel(x, y)) - qGray(drawn.pixel(x, y)));
    }
    return ink;
}

QImage paintedMap(const MapPicture& picture, const MapView& view, const MapLayout& layout)
{
    QImage image(layout.size, QImage::Format_RGB32);
    QPainter painter(&image);
    paintMap(painter, picture, view, layout, Atlas::installed());
    return image;
}

TEST(MapPng, AZipCodeWithoutAValueIsDrawnLighterThanTheLowestClass)
{
    const MapPicture picture = newEnglandPicture();
    const MapView view = chooseView(picture.dots, Atlas::installed());
    const MapLayout layout(kDefaultMapWidth, view, picture);
    MapPicture withoutDots = picture;
    withoutDots.dots.clear();
    const QImage drawn = paintedMap(picture, view, layout);
    const QImage ground = paintedMap(withoutDots, view, layout);
    const double scale = layout.mapArea.width() / view.frame.width();
    auto inkAt = [&](const MapDot& dot) {
        const QPointF at = (dot.point.at - view.frame.topLeft()) * scale + layout.mapArea.topLeft();
        return inkOfDot(drawn, ground, at.toPoint(), 10);
    };
    const auto lowest = std::min_element(picture.dots.cbegin(), picture.dots.cend(),
                                         [](const MapDot& a, const MapDot& b) {
                                             return a.value.value_or(1e12) < b.value.value_or(1e12);
                                         });
    const double noValueInk = inkAt(picture.dots[5]);
    EXPECT_GT(noValueInk, 0);  // seen
    EXPECT_LT(noValueInk, inkAt(*lowest)) << noValueInk;
}

TEST(MapSvg, NamesTheGenericSansSerifFamily)
{
    const QByteArray svg = drawMap(newEnglandPicture(), MapFormat::Svg, 800, Atlas::installed());
    QSet<QByteArray> families;
    for (qsizetype at = svg.indexOf("font-family=\""); at >= 0; at = svg.indexOf("font-family=\"", at + 1)) {
        const qsizetype start = at + 13;
        families.insert(svg.mid(start, svg.indexOf('"', start) - start));
    }
    EXPECT_EQ(families, QSet<QByteArray>{"sans-serif"});
}

class MapWrite : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_folder.filePath(name); }
    QTemporaryDir m_folder;
};

TEST_F(MapWrite, ReplacesTheFileWholeInTheFormatOfItsExtension)
{
    ASSERT_TRUE(test::writeWholeFile(path("map.SVG"), "old"));
    EXPECT_EQ(writeMap(newEnglandPicture(), path("map.SVG"), MapFormat::Svg, 800, Atlas::installed()), std::nullopt);
    EXPECT_TRUE(test::readWholeFile(path("map.SVG")).startsWith("<?xml"));
    EXPECT_EQ(writeMap(newEnglandPicture(), path("map.png"), MapFormat::Png, 800, Atlas::installed()), std::nullopt);
    EXPECT_TRUE(test::readWholeFile(path("map.png")).startsWith("\x89PNG"));
    EXPECT_EQ(QDir(m_folder.path()).entryList(QDir::Files), (QStringList{"map.png", "map.SVG"}));
}

TEST_F(MapWrite, TheFormatIsKnownByTheExtensionInAnyCaseAndNoOther)
{
    EXPECT_EQ(mapFormatOfPath("a/b.Svg"), MapFormat::Svg);
    EXPECT_EQ(mapFormatOfPath("b.PNG"), MapFormat::Png);
    EXPECT_EQ(mapFormatOfPath("b.jpg"), std::nullopt);
    EXPECT_EQ(mapFormatOfPath("svg"), std::nullopt);
    EXPECT_EQ(mapFormatOfPath("-"), std::nullopt);
}

TEST_F(MapWrite, AFolderThatTakesNoFileKeepsTheOldMapAsItWas)
{
    const QString target = test::preciousFileInReadOnlyFolder(m_folder.path(), "map.svg");
    ASSERT_FALSE(target.isEmpty());
    const QString folder = QFileInfo(target).path();
    {
        test::UnprivilegedScope unprivileged;
        if (!unprivileged.permissionsApply())
            GTEST_SKIP() << "file permissions do not apply to this user";
        EXPECT_TRUE(writeMap(newEnglandPicture(), target, MapFormat::Svg, 800, Atlas::installed()));
    }
    EXPECT_EQ(test::readWholeFile(target), QByteArray("precious"));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{"map.svg"});
}

}  // namespace
}  // namespace zd
