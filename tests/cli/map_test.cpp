// zipdemographics-cli map against the sample site, with either source: the
// SVG read back (a dot per ZIP code, coloured by the legend's classes, hollow
// without a value, the title and the source line), the PNG's size, and the
// errors (an unknown figure, no value at all, a bad OUT, a failed fetch); the
// census source's requests for the drawn figure alone; a map of --near's area.
#include "tests/support/clirun.h"
#include "tests/support/siteprocess.h"
#include "tests/support/svgshapes.h"
#include "tests/support/wholefile.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>

namespace zd::test {
namespace {

const QStringList kUnpaced = {"--rate", "0", "--retries", "0"};
const QString kIncome = QStringLiteral("Median household income");

class MapCommand : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_folder.filePath(name); }

    ChildRun siteMap(const QStringList& arguments, const ChildOptions& options = {})
    {
        return runCli(QStringList{"map", "--site", m_site.host()} + kUnpaced + arguments, options);
    }

    ChildRun censusMap(const QStringList& arguments)
    {
        return runCli(QStringList{"map", "--source", "census"} + kUnpaced + arguments,
                      {{{"ZIPDEMOGRAPHICS_CENSUS_URL", "http://" + m_site.host()}, {"CENSUS_API_KEY", "test-key-1"}}});
    }

    // Each entry's value of the figure as export reads it into JSON Lines: the number.
    QList<double> exportedValues(const QStringList& source, const QStringList& entries, const QString& figure)
    {
        const QString out = path("values.jsonl");
        const ChildRun run = runCli(QStringList{"export"} + source + kUnpaced + entries + QStringList{"-o", out},
                                    {{{"ZIPDEMOGRAPHICS_CENSUS_URL", "http://" + m_site.host()},
                                      {"CENSUS_API_KEY", "test-key-1"}}});
        EXPECT_EQ(run.exitCode, 0) << run.err.constData();
        QList<double> values;
        for (const QByteArray& line : readWholeFile(out).split('\n')) {
            for (const QJsonValue figure : QJsonDocument::fromJson(line).object().value("figures").toArray()) {
                const QJsonObject object = figure.toObject();
                if (object.value("label").toString() == figure_ || object.value("variable").toString() == figure_)
                    values.append(object.value("number").toDouble());
            }
        }
        return values;
    }

    QString figure_;
    SiteProcess m_site;
    QTemporaryDir m_folder;
};

// Each value's colour: the swatch of the legend row whose limits hold it.
void expectDotsColouredByTheirClasses(const SvgShapes& svg, const QList<double>& values)
{
    ASSERT_EQ(svg.swatchColours().size(), svg.legendLimits().size());
    EXPECT_EQ(svg.sortedFilledCircles(), svg.classColoursOf(values));
}

TEST_F(MapCommand, SiteSourceDrawsADotPerZipCodeColouredByItsClassAndHollowWithoutAValue)
{
    // 03101 is in the place table, but the sample site does not know it.
    const QStringList entries = {"03053", "01830", "03101", "03053"};
    const ChildRun run = siteMap(QStringList{"--figure", "median household income"} + entries
                                 + QStringList{"-o", path("income.svg")});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    const SvgShapes svg = readSvgShapes(readWholeFile(path("income.svg")));
    ASSERT_TRUE(svg.wellFormed);
    EXPECT_EQ(svg.circles.size(), 3);  // 03053 once
    EXPECT_EQ(svg.circleFills().count("none"), 1);
    figure_ = kIncome;
    expectDotsColouredByTheirClasses(svg, exportedValues({"--site", m_site.host()}, {"03053", "01830"}, kIncome));
    EXPECT_EQ(svg.title, kIncome);
    EXPECT_TRUE(svg.texts.contains(kIncome));
    EXPECT_TRUE(svg.texts.contains("Figures: " + m_site.host()));
    EXPECT_TRUE(svg.texts.contains("No value"));
}

TEST_F(MapCommand, CensusSourceFindsTheFigureByItsVariableAndNamesTheRunsVintage)
{
    for (const QString& year : {QStringLiteral("2021"), QStringLiteral("2023")}) {
        SCOPED_TRACE(year.toStdString());
        const QString out = path("census" + year + ".svg");
        const ChildRun run = censusMap({"--year", year, "--figure", "DP03_0062E", "03053", "01830", "-o", out});
        ASSERT_EQ(run.exitCode, 0) << run.err.constData();
        const SvgShapes svg = readSvgShapes(readWholeFile(out));
        const QString years = QString::number(year.toInt() - 4) + "-" + year;
        EXPECT_TRUE(svg.title.startsWith("Median household income (" + year + " dollars)")) << svg.title.toStdString();
        EXPECT_TRUE(svg.title.endsWith(", " + years + " ACS 5-year")) << svg.title.toStdString();
        EXPECT_TRUE(svg.texts.contains("U.S. Census Bureau, American Community Survey 5-year estimates " + years));
        EXPECT_EQ(svg.circles.size(), 2);
        figure_ = QStringLiteral("DP03_0062E");
        expectDotsColouredByTheirClasses(svg, exportedValues({"--source", "census", "--year", year},
                                                             {"03053", "01830"}, figure_));
    }
}

TEST_F(MapCommand, PngIsAsWideAsAskedAndNotBlank)
{
    const ChildRun run = siteMap({"--figure", "Total population", "--width", "640", "03053", "01830", "-o",
                                  path("people.png")});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    QImage image;
    ASSERT_TRUE(image.load(path("people.png"), "PNG"));
    EXPECT_EQ(image.width(), 640);
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    }
    EXPECT_GT(colours.size(), 8);
}

TEST_F(MapCommand, AnUnknownFigureNamesTheFiguresThereAreAndWritesNothing)
{
    const ChildRun run = siteMap({"--figure", "Median yacht length", "03053", "-o", path("none.svg")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains("unknown figure \"Median yacht length\"")) << run.err.constData();
    EXPECT_TRUE(run.err.contains("Total population; ")) << run.err.constData();
    EXPECT_TRUE(run.err.contains(kIncome.toUtf8()));
    EXPECT_FALSE(QFile::exists(path("none.svg")));
    // With the census source the variables are named too.
    const ChildRun census = censusMap({"--figure", "DP99_9999E", "03053", "-o", path("none.svg")});
    EXPECT_EQ(census.exitCode, 2);
    EXPECT_TRUE(census.err.contains("[DP03_0062E]")) << census.err.constData();
    EXPECT_FALSE(QFile::exists(path("none.svg")));
}

TEST_F(MapCommand, AListWithoutOneDrawableValueDrawsTheOutlinesAndSaysSo)
{
    // 03101 is placed but has no page; 09002 (an overseas military ZIP code) and
    // 34001 hold the figure, with either source, but the map cannot place them.
    SiteProcess everyZip({"--every-zip"});
    const QList<ChildOptions> census = {{{{"ZIPDEMOGRAPHICS_CENSUS_URL", "http://" + m_site.host()},
                                          {"CENSUS_API_KEY", "test-key-1"}}}};
    struct Case {
        QStringList arguments;
        QString shown;
        QStringList circleFills;
    };
    const QList<Case> cases = {
        {{"--site", m_site.host(), "03101"}, "the outlines and the ZIP codes without values", {"none"}},
        {{"--site", everyZip.host(), "09002", "34001"}, "the outlines alone", {}},
        {{"--source", "census", "09002", "34001"}, "the outlines alone", {}},
    };
    for (const Case& drawn : cases) {
        SCOPED_TRACE(drawn.arguments.join(' ').toStdString());
        const QString out = path("outlines.svg");
        QFile::remove(out);
        const ChildRun run = runCli(QStringList{"map", "--figure", "Median age"} + kUnpaced + drawn.arguments
                                        + QStringList{"-o", out},
                                    drawn.arguments.contains("census") ? census.first() : ChildOptions{});
        EXPECT_EQ(run.exitCode, 0) << run.err.constData();
        EXPECT_FALSE(run.err.contains("unknown figure")) << run.err.constData();
        EXPECT_TRUE(run.err.contains("no ZIP code of the list has a value of \"Median age\" that can be drawn: the "
                                     "map shows " + drawn.shown.toUtf8()))
            << run.err.constData();
        const SvgShapes svg = readSvgShapes(readWholeFile(out));
        ASSERT_TRUE(svg.wellFormed);
        EXPECT_EQ(svg.circleFills(), drawn.circleFills);
        EXPECT_TRUE(svg.swatchColours().isEmpty());
        EXPECT_GT(svg.paths, 10);  // the states
    }
}

TEST_F(MapCommand, UsageErrorsAreSaidBeforeAnythingIsFetched)
{
    const QList<QPair<QStringList, QString>> cases = {
        {{"03053", "-o", path("m.svg")}, "map needs --figure"},
        {{"--figure", kIncome, "03053"}, "map needs -o OUT.svg or OUT.png"},
        {{"--figure", kIncome, "03053", "-o", path("m.jpg")}, "map writes .svg or .png, not"},
        {{"--figure", kIncome, "--classes", "1", "03053", "-o", path("m.svg")}, "--classes"},
        {{"--figure", kIncome, "--classes", "10", "03053", "-o", path("m.svg")}, "--classes"},
        {{"--figure", kIncome, "--width", "50", "03053", "-o", path("m.png")}, "--width"},
        {{"--figure", kIncome, "--moe", "03053", "-o", path("m.svg")}, "--moe"},
        {{"--figure", kIncome, "--near", "03053", "-o", path("m.svg")}, "--near and --miles go together"},
        {{"--figure", kIncome, "--near", "99999", "--miles", "5", "-o", path("m.svg")}, "--near: unknown ZIP code 99999"},
    };
    for (const auto& [arguments, message] : cases) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const ChildRun run = runCli(QStringList{"map", "--site", "127.0.0.1:1"} + arguments);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.err.contains(message.toUtf8())) << run.err.constData();
    }
    EXPECT_TRUE(QDir(m_folder.path()).entryList(QDir::Files).isEmpty());
    // OUT may not be the zip list the run reads.
    ASSERT_TRUE(writeWholeFile(path("list.svg"), "03053\n"));
    const ChildRun clash = runCli({"map", "--site", "127.0.0.1:1", "--figure", kIncome, "--zips", path("list.svg"), "-o",
                                   path("list.svg")});
    EXPECT_EQ(clash.exitCode, 2);
    EXPECT_EQ(readWholeFile(path("list.svg")), "03053\n");
    // And --figure belongs to map alone.
    EXPECT_EQ(runCli({"export", "--figure", kIncome, "03053", "-o", path("x.txt")}).exitCode, 2);
}

TEST_F(MapCommand, AnExistingMapIsLeftAsItWasWhenEntriesFailOrItCannotBeWritten)
{
    ASSERT_TRUE(writeWholeFile(path("kept.svg"), "precious"));
    const ChildRun failed = runCli({"map", "--site", "127.0.0.1:1", "--retries", "0", "--figure", kIncome, "03053",
                                    "-o", path("kept.svg")});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_TRUE(failed.err.contains("is left as it was")) << failed.err.constData();
    EXPECT_EQ(readWholeFile(path("kept.svg")), "precious");

    const QString target = preciousFileInReadOnlyFolder(m_folder.path(), "map.svg");
    ASSERT_FALSE(target.isEmpty());
    const QString folder = QFileInfo(target).path();
    ChildOptions unprivileged;
    unprivileged.asUnprivilegedUser = true;
    const ChildRun refused = siteMap({"--figure", kIncome, "03053", "-o", folder + "/map.svg"}, unprivileged);
    EXPECT_EQ(refused.exitCode, 3) << refused.err.constData();
    EXPECT_TRUE(refused.err.contains("cannot write")) << refused.err.constData();
    EXPECT_EQ(readWholeFile(folder + "/map.svg"), "precious");
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{"map.svg"});
}

// The census answers a run kept: the address of each, read from the cache's pages.
QStringList cachedAddresses(const QString& cacheFolder)
{
    QStringList addresses;
    for (const QFileInfo& page : QDir(cacheFolder).entryInfoList(QDir::Files)) {
        for (const QByteArray& line : readWholeFile(page.filePath()).split('\n')) {
            if (line.startsWith("url "))
                addresses.append(QString::fromUtf8(line.mid(4)));
        }
    }
    return addresses;
}

TEST_F(MapCommand, CensusSourceAsksForTheDrawnFigureAloneAndForNoFigureWhenItIsUnknown)
{
    const QString cache = path("cache");
    const ChildRun run = censusMap({"--year", "2023", "--cache", cache, "--figure",
                                    "median household income (2023 dollars)", "03053", "01830", "-o", path("one.svg")});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    QStringList data = cachedAddresses(cache).filter("get=");
    ASSERT_EQ(data.size(), 1) << data.join(' ').toStdString();
    EXPECT_TRUE(data.first().contains("?get=DP03_0062E&for=")) << data.first().toStdString();
    // The map is the one the whole set gave: the title, and a dot coloured by its class each.
    const SvgShapes svg = readSvgShapes(readWholeFile(path("one.svg")));
    EXPECT_TRUE(svg.title.startsWith("Median household income (2023 dollars)")) << svg.title.toStdString();
    figure_ = QStringLiteral("DP03_0062E");
    expectDotsColouredByTheirClasses(svg, exportedValues({"--source", "census", "--year", "2023"},
                                                         {"03053", "01830"}, figure_));

    // An unknown figure is named once the year's list is read, before any data is asked for.
    const QString unknownCache = path("unknown");
    const ChildRun unknown =
        censusMap({"--year", "2023", "--cache", unknownCache, "--figure", "Median yacht length", "03053", "-o",
                   path("none.svg")});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.err.contains("unknown figure \"Median yacht length\"; the figures are: Total population "
                                     "[DP05_0001E]; "))
        << unknown.err.constData();
    EXPECT_TRUE(cachedAddresses(unknownCache).filter("get=").isEmpty());
    EXPECT_FALSE(QFile::exists(path("none.svg")));
}

// Every ZIP code within 25 miles of 03053 that the place table places: the site
// with a page for each, so each is a filled dot coloured by its class.
TEST_F(MapCommand, NearDrawsADotForEachZipCodeOfTheAreaColouredByItsValue)
{
    SiteProcess everyZip({"--every-zip"});
    const QStringList area = {"--near", "03053", "--miles", "25"};
    const ChildRun near = runCli({"near", "03053", "--miles", "25"});
    ASSERT_EQ(near.exitCode, 0) << near.err.constData();
    const qsizetype zipCount = near.out.trimmed().split('\n').size();
    ASSERT_GT(zipCount, 100);

    const ChildRun run = runCli(QStringList{"map", "--site", everyZip.host()} + kUnpaced + area
                                + QStringList{"--figure", kIncome, "-o", path("near.svg")});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    const SvgShapes svg = readSvgShapes(readWholeFile(path("near.svg")));
    ASSERT_TRUE(svg.wellFormed);
    EXPECT_EQ(svg.circles.size(), zipCount);
    EXPECT_EQ(svg.circleFills().count("none"), 0);
    figure_ = kIncome;
    const QList<double> values = exportedValues(QStringList{"--site", everyZip.host()} + area, {}, kIncome);
    EXPECT_EQ(values.size(), zipCount);
    expectDotsColouredByTheirClasses(svg, values);
    // A regional view: the counties' outlines are drawn with the states'.
    EXPECT_GT(svg.paths, 10);
}

}  // namespace
}  // namespace zd::test
