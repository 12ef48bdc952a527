// near and zips as a user runs them, their refusals, their output read back by
// --zips -, and lookup's and export's --near.
#include "tests/support/clirun.h"
#include "tests/support/siteprocess.h"
#include "tests/support/wholefile.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zd::test {
namespace {

const QStringList kUnpaced = {"--rate", "0", "--retries", "0"};

QString shellQuoted(const QString& text) { return "'" + QString(text).replace("'", "'\\''") + "'"; }

TEST(AreaCommands, NearPrintsTheZipCodesNearestFirstAndSaysWhichHaveNoZcta)
{
    const ChildRun plain = runCli({"near", "03053", "--miles", "5"});
    EXPECT_EQ(plain.exitCode, 0);
    EXPECT_EQ(plain.out, "03053\n03038\n03052\n03041\n");
    EXPECT_EQ(plain.err, "");
    const ChildRun distances = runCli({"near", "--distance", "42.8656,-71.3772", "--miles=5"});
    EXPECT_EQ(distances.exitCode, 0);
    EXPECT_EQ(distances.out, "03053\t0.0\n03038\t4.1\n03052\t4.2\n03041\t4.8\tno ZCTA\n");
    // South of the equator the point goes after "--"; Pago Pago's ZIP code.
    const ChildRun south = runCli({"near", "--miles", "1", "--", "-14.28,-170.7"});
    EXPECT_EQ(south.exitCode, 0) << south.err.toStdString();
    EXPECT_TRUE(south.out.startsWith("96799\n"));
}

TEST(AreaCommands, ZipsPrintsAStateOrATownByZipCode)
{
    const ChildRun state = runCli({"zips", "--state", "nh"});
    EXPECT_EQ(state.exitCode, 0);
    EXPECT_EQ(state.out.count('\n'), 284);
    EXPECT_TRUE(state.out.startsWith("03031\n03032\n"));
    const ChildRun town = runCli({"zips", "--city", "LONDONDERRY, NH"});
    EXPECT_EQ(town.out, "03053\n");
    EXPECT_EQ(runCli({"zips", "--city", "derry, pa"}).out, "15627\n");
    EXPECT_EQ(runCli({"zips", "--city", "east  DERRY, NH"}).out, "03041\n");
}

// The ZCTAs of a year's vintage: 2010's up to 2020, 2020's from 2021 (and for
// the newest year). A code new in 2020 (Wonalancet, NH) has no ZCTA in 2019 and
// one in 2023, one gone in 2020 (Westfield, MA) the reverse; a ZCTA the place
// table lacks is listed with its internal point and the nearest place.
TEST(AreaCommands, EachYearHasTheZctasOfItsVintage)
{
    const QList<ChildRun> all = runCliAtOnce({{"zips", "--all", "--year", "2019"},
                                              {"zips", "--all", "--year", "2023"},
                                              {"zips", "--all"},
                                              {"zips", "--all", "--details", "--year", "2021"}});
    EXPECT_EQ(all[0].out.count('\n'), 33120);
    EXPECT_EQ(all[1].out.count('\n'), 33774);
    EXPECT_EQ(all[2].out, all[1].out);
    EXPECT_TRUE(all[0].out.contains("\n01086\n") && !all[0].out.contains("\n03897\n"));
    EXPECT_TRUE(all[1].out.contains("\n03897\n") && !all[1].out.contains("\n01086\n"));
    EXPECT_TRUE(all[3].out.contains("\n03053\t42.868588\t-71.387247\t41.668\tLondonderry, NH\n"));
    EXPECT_TRUE(all[3].out.contains("\n75036\t33.133351\t-96.914663\t10.839\tnear The Colony, TX\n"));
    EXPECT_EQ(all[3].out.count("\tnear "), 5);

    const struct {
        const char* year;
        QByteArray wonalancet;
        QByteArray westfield;
    } kYears[] = {{"2019", "03897\t0.0\tno ZCTA\n", "01086\t0.0\n"},
                  {"2023", "03897\t0.0\n", "01086\t0.0\tno ZCTA\n"}};
    for (const auto& year : kYears) {
        EXPECT_EQ(runCli({"near", "03897", "--miles", "0", "--distance", "--year", year.year}).out, year.wonalancet);
        EXPECT_EQ(runCli({"near", "01086", "--miles", "0", "--distance", "--year", year.year}).out, year.westfield);
    }
    // Near a ZCTA the place table lacks, by its internal point.
    EXPECT_EQ(runCli({"near", "75036", "--miles", "4", "--distance"}).out, "75036\t0.0\n75056\t3.3\n75068\t3.9\n");
}

TEST(AreaCommands, MistakesAndNoMatchExitWith2AndPrintNothing)
{
    const QList<QPair<QStringList, QByteArray>> mistakes = {
        {{"near", "03053"}, "near needs --miles N, the distance"},
        {{"near", "--miles", "5"}, "near needs one ZIP code or LAT,LON, not 0"},
        {{"near", "03053", "01830", "--miles", "5"}, "near needs one ZIP code or LAT,LON, not 2"},
        {{"near", "99999", "--miles", "5"}, "unknown ZIP code 99999: the place table does not have it"},
        {{"near", "09002", "--miles", "5"}, "ZIP code 09002 (Apo, AE) has no coordinates in the place table"},
        {{"near", "42.8;-71.3", "--miles", "5"}, "is neither a five-digit ZIP code nor LAT,LON"},
        {{"near", "142.8,-71.3", "--miles", "5"}, "is off the globe"},
        {{"near", "03053", "--miles", "-1"}, "--miles: the distance must be a number of miles from 0 to 3000, not \"-1\""},
        {{"near", "03053", "--miles", "3000.5"}, "from 0 to 3000, not \"3000.5\""},
        {{"near", "03053", "--miles", "5\u200b"}, "from 0 to 3000, not \"5\u200b\""},
        {{"near", "03053", "--miles", "nan"}, "from 0 to 3000, not \"nan\""},
        {{"near", "03053", "--miles"}, "--miles"},
        {{"near", "30,-40", "--miles", "10"}, "no ZIP code lies within 10 miles of 30,-40"},
        {{"near", "03053", "--miles", "5", "--bogus"}, "--bogus"},
        {{"zips"}, "zips needs one of --state ST, --city \"NAME, ST\" and --all"},
        {{"zips", "--state", "NH", "--city", "Derry, NH"}, "zips needs one of --state ST"},
        {{"zips", "--all", "--state", "NH"}, "zips needs one of --state ST"},
        {{"zips", "--state", "NH", "--state", "VT"}, "--state is given more than once"},
        {{"zips", "--state", "NH", "--details"}, "--year and --details go with --all"},
        {{"zips", "--all", "--year", "2008"}, "--year expects a year of the ACS 5-year estimates"},
        {{"near", "03053", "--miles", "5", "--miles", "10"}, "--miles is given more than once"},
        {{"near", "03053", "--miles", "5", "--year", "20x"}, "--year expects a year"},
        {{"lookup", "--all-zctas", "03053"}, "--all-zctas goes with the census source"},
        {{"zips", "--state", "ZZ"}, "unknown state \"ZZ\""},
        {{"zips", "--state", "New Hampshire"}, "a state is given by its two letters"},
        {{"zips", "--city", "Nowhere, NH"}, "unknown town \"Nowhere, NH\""},
        {{"zips", "--city", "Derry"}, "a town is given as \"NAME, ST\""},
        {{"zips", "03053", "--state", "NH"}, "zips takes no ENTRY"},
        {{"lookup", "--near", "03053", "01830"}, "--near and --miles go together"},
        {{"lookup", "--miles", "5", "01830"}, "--near and --miles go together"},
        {{"export", "--near", "03053", "--miles", "-2", "-o", "x.txt"}, "--miles: the distance must be"},
        {{"show", "--near", "03053", "--miles", "2", "03053"}, "show takes only"},
    };
    for (const auto& [arguments, message] : mistakes) {
        const ChildRun run = runCli(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_EQ(run.out, "") << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(message)) << arguments.join(' ').toStdString() << ": " << run.err.toStdString();
    }
}

TEST(AreaCommands, OutputThatCannotBeWrittenExitsWith3)
{
    for (const QStringList& arguments : QList<QStringList>{{"near", "03053", "--miles", "50"}, {"zips", "--state", "CA"}}) {
        const ChildRun run = runCli(arguments, {.standardOutputFile = "/dev/full"});
        EXPECT_EQ(run.exitCode, 3) << arguments.join(' ').toStdString();
        EXPECT_EQ(run.err, "zipdemographics-cli: cannot write to standard output\n");
    }
}

class AreaWithSampleSite : public ::testing::Test {
protected:
    SiteProcess m_site;
    QTemporaryDir m_folder;
};

TEST_F(AreaWithSampleSite, LookupReadsNearsOutputThroughZipsFromStandardInput)
{
    const QString pipeline = shellQuoted(ZD_CLI_EXECUTABLE) + " near 03053 --miles 5 | " + shellQuoted(ZD_CLI_EXECUTABLE)
                             + " lookup --zips - --delay 0 --rate 0 --retries 0 --site " + m_site.host();
    const ChildRun piped = runChild("/bin/bash", {"-o", "pipefail", "-c", pipeline});
    const ChildRun direct = runCli(QStringList{"lookup", "--delay", "0", "--site", m_site.host(), "03053", "03038",
                                               "03052", "03041"} + kUnpaced);
    EXPECT_EQ(piped.exitCode, 0) << piped.err.toStdString();
    EXPECT_EQ(piped.out.count('\n'), 4);
    EXPECT_EQ(piped.out, direct.out);
}

TEST_F(AreaWithSampleSite, ExportNearJoinsTheSelectionAfterTheOtherEntries)
{
    const QString near = m_folder.filePath("near.csv"), listed = m_folder.filePath("listed.csv");
    const QString zipList = m_folder.filePath("zips.txt");
    ASSERT_TRUE(writeWholeFile(zipList, "01830\r\n"));
    const QList<ChildRun> runs = runCliAtOnce(
        {QStringList{"export", "--site", m_site.host(), "--zips", zipList, "10001", "--near", "03053", "--miles", "5",
                     "-o", near} + kUnpaced,
         QStringList{"export", "--site", m_site.host(), "01830", "10001", "03053", "03038", "03052", "03041", "-o",
                     listed} + kUnpaced});
    EXPECT_EQ(runs[0].exitCode, 0) << runs[0].err.toStdString();
    EXPECT_EQ(runs[0].err, runs[1].err);
    EXPECT_EQ(readWholeFile(near), readWholeFile(listed));
    EXPECT_TRUE(readWholeFile(near).contains("03041"));
}

TEST_F(AreaWithSampleSite, AnUnknownNearZipCodeFetchesNothingAndWritesNothing)
{
    const QString out = m_folder.filePath("never.txt");
    const ChildRun run = runCli(QStringList{"export", "--site", m_site.host(), "01830", "--near", "99999", "--miles",
                                            "5", "-o", out} + kUnpaced);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, "zipdemographics-cli: --near: unknown ZIP code 99999: the place table does not have it\n"
                       "zipdemographics-cli: Try \"zipdemographics-cli --help\".\n");
    EXPECT_FALSE(QFile::exists(out));
}

}  // namespace
}  // namespace zd::test
