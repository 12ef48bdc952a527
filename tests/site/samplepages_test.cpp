#include "core/windows1252.h"
#include "retrieval/demographicsparser.h"
#include "site/faultmodes.h"
#include "site/samplepages.h"
#include "site/samplesite.h"
#include "site/siteoptions.h"

#include <gtest/gtest.h>

namespace zd {
namespace {

// Every page must read as the program expects: a clean name, whole figure and
// income tables, shares adding up, and the notice that it is all made up.
TEST(SamplePages, EveryKnownZipReadsWholeAndSaysItIsMadeUp)
{
    ASSERT_GE(sampleZipCodes().size(), 12);
    EXPECT_TRUE(sampleZipCodes().contains("03053") && sampleZipCodes().contains("01830"));
    for (const QString& zip : sampleZipCodes()) {
        SCOPED_TRACE(zip.toStdString());
        const QString page = *samplePage(zip);
        EXPECT_EQ(page, *samplePage(zip)) << "the same ZIP code always shows the same figures";
        EXPECT_TRUE(page.contains("made up"));
        const std::optional<QString> name = extractLocationName(page);
        ASSERT_TRUE(name && !name->isEmpty());
        EXPECT_FALSE(name->contains('<') || name->contains('&') || name->contains(')'));
        const ExtractedRows figures = extractFigureRows(page);
        const ExtractedRows incomes = extractHouseholdIncomeRows(page);
        EXPECT_FALSE(figures.brokeOff || incomes.brokeOff);
        EXPECT_EQ(figures.rows.size(), 18);
        ASSERT_EQ(incomes.rows.size(), 10);
        double total = 0;
        for (const DemographicRow& row : incomes.rows)
            total += row.value.chopped(1).toDouble();
        EXPECT_NEAR(total, 100.0, 1e-9);
    }
}

TEST(SamplePages, UnknownZipHasNoLocationCellWhateverItHolds)
{
    EXPECT_FALSE(samplePage("99999"));
    for (const QString zip : {"99999", "x>(y", "<b>(", ""}) {
        const QString page = unknownZipPage(zip);
        EXPECT_FALSE(extractLocationName(page)) << zip.toStdString();
        EXPECT_TRUE(extractFigureRows(page).rows.isEmpty());
    }
}

TEST(FaultPages, BreakOffPagesBreakWhereTheySay)
{
    const QString figures = decodeWindows1252(breaksOffInFiguresPage());
    EXPECT_EQ(extractLocationName(figures), "Broken Figures Test Page");
    EXPECT_TRUE(extractFigureRows(figures).brokeOff);
    EXPECT_EQ(extractFigureRows(figures).rows.size(), 6);

    const QString incomes = decodeWindows1252(breaksOffInIncomePage());
    EXPECT_FALSE(extractFigureRows(incomes).brokeOff);
    EXPECT_TRUE(extractHouseholdIncomeRows(incomes).brokeOff);
    EXPECT_EQ(extractHouseholdIncomeRows(incomes).rows.size(), 3);
}

TEST(FaultPages, HighBytesPageUsesTheCodePageAboveAsciiAndItsUndefinedBytes)
{
    const QByteArray page = highBytesPage();
    for (const char byte : {'\x80', '\x81', '\x92', '\x96', '\xB1', '\xBD', '\xE2', '\xD1', '\xD8'})
        EXPECT_TRUE(page.contains(byte)) << int(static_cast<unsigned char>(byte));
    EXPECT_EQ(extractLocationName(decodeWindows1252(page)),
              QString::fromUtf8("Château-Ñorrel – Østerbü"));
}

TEST(FaultModes, EachHasItsOwnFiveCharacterZipThatNoPlaceUses)
{
    QStringList zips;
    for (const FaultModeInfo& info : faultModes()) {
        EXPECT_EQ(QString(info.zip).size(), 5);
        EXPECT_FALSE(sampleNameCell(info.zip)) << info.zip;
        EXPECT_EQ(faultModeForZip(info.zip), info.mode);
        EXPECT_TRUE(siteHelpText().contains(QString(info.zip) + "  " + info.description));
        zips.append(info.zip);
    }
    zips.removeDuplicates();
    EXPECT_EQ(zips.size(), faultModes().size());
}

TEST(SiteRequests, ZipIsTakenFromThePageAddressOnly)
{
    const QList<std::pair<QByteArray, std::optional<QString>>> cases = {
        {"/index.php?zip=03053&amppagetype=main", "03053"},
        {"/index.php?zip=&amppagetype=main", ""},
        {"/index.php?zip=%2003053%20&amppagetype=main", " 03053 "},
        {"/index.php?zip=%0903053&amppagetype=main", "\t03053"},
        {"/index.php?zip=%41%2&amppagetype=main", "%41%2"},   // only escapes the program makes
        {"/index.php?zip=a&b&amppagetype=main", "a&b"},
        {"/index.php?zip=\xE9t\xE9&amppagetype=main", QString::fromUtf8("été")},
        {"/index.php?zip=03053&pagetype=main", std::nullopt},
        {"/index.php?zip=03053", std::nullopt},
        {"/other.php?zip=03053&amppagetype=main", std::nullopt},
    };
    for (const auto& [target, zip] : cases)
        EXPECT_EQ(SampleSite::zipOfTarget(target), zip) << target.constData();
}

TEST(SiteOptions, PortLogAndHelpAreReadAndMistakesNamed)
{
    EXPECT_EQ(parseSiteOptions({"--port", "8080", "--log=x.log"}).port, 8080);
    EXPECT_EQ(parseSiteOptions({"--port", "8080", "--log=x.log"}).logPath, "x.log");
    const SiteOptions batch = parseSiteOptions({"--every-zip", "--latency=250", "--robots", "r.txt"});
    EXPECT_TRUE(batch.everyZip);
    EXPECT_EQ(batch.latencyMs, 250);
    EXPECT_EQ(batch.robotsPath, "r.txt");
    EXPECT_FALSE(parseSiteOptions({}).everyZip);
    EXPECT_TRUE(parseSiteOptions({"-h"}).showHelp);
    EXPECT_TRUE(parseSiteOptions({"--bogus", "--version"}).showVersion);
    const QList<QPair<QStringList, QString>> mistakes = {
        {{"--port"}, "--port needs a value"},
        {{"--port", "65536"}, "--port expects a whole number from 0 to 65535, not \"65536\""},
        {{"--port", "-1"}, "--port expects a whole number from 0 to 65535, not \"-1\""},
        {{"--latency", "1e3"}, "--latency expects a whole number from 0 to 600000, not \"1e3\""},
        {{"--log="}, "--log needs a file name"},
        {{"--verbose"}, "unknown option \"--verbose\""},
        {{"8080"}, "unknown argument \"8080\""},
    };
    for (const auto& [arguments, error] : mistakes)
        EXPECT_EQ(parseSiteOptions(arguments).error, error) << arguments.join(' ').toStdString();
}

}  // namespace
}  // namespace zd
