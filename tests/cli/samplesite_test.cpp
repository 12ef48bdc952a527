// The command line with the sample site, both run as a user runs them.
#include "tests/support/clirun.h"
#include "tests/support/siteprocess.h"
#include "tests/support/testsite.h"
#include "tests/support/wholefile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>


namespace zd::test {
namespace {

const QString kData = QStringLiteral(ZD_CLI_TEST_DATA);
const QStringList kFaultZips = {"00404", "00204", "00001", "00002", "00003", "00301",
                                "00310", "00128", "00500", "00501"};
// No pacing and no retries: what the site sends is what the run gets, at once.
const QStringList kUnpaced = {"--rate", "0", "--retries", "0"};

QByteArray expected(const QString& name) { return readWholeFile(kData + "/expected/" + name); }

class WithSampleSite : public ::testing::Test {
protected:
    SiteProcess m_site;
    QTemporaryDir m_folder;
};

TEST_F(WithSampleSite, ExportOfTheTwoSamplesGivesTheirMadeUpFigures)
{
    const QString out = m_folder.filePath("samples.txt");
    const ChildRun run = runCli(QStringList{"export", "--site", m_site.host(), "03053", "01830", "-o", out} + kUnpaced);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "zipdemographics-cli: 2 found, 0 not found, 0 not five characters, 0 failed\n");
    EXPECT_EQ(readWholeFile(out), expected("export-samples.txt"));
}

TEST_F(WithSampleSite, EveryFaultModeKeepsWhatArrivedNamesTheFailuresAndGoesOn)
{
    const QString out = m_folder.filePath("faults.txt");
    // The export and the lookup are independent, so they run at once (the site's
    // slow drip takes seconds).
    const QList<ChildRun> runs = runCliAtOnce(
        {QStringList{"export", "--jobs", "4", "--site", m_site.host()} + kUnpaced + kFaultZips + QStringList{"-o", out},
         QStringList{"lookup", "--delay", "0", "--jobs", "4", "--site", m_site.host()} + kUnpaced + kFaultZips});
    const ChildRun& exported = runs[0];
    EXPECT_EQ(exported.exitCode, 1);
    EXPECT_EQ(exported.out, "");
    EXPECT_EQ(exported.err, expected("export-faults.err"));
    EXPECT_EQ(readWholeFile(out), expected("export-faults.txt"));

    const ChildRun& looked = runs[1];
    EXPECT_EQ(looked.exitCode, 1);
    EXPECT_EQ(looked.out, expected("lookup-faults.txt"));
    EXPECT_EQ(looked.err, expected("lookup-faults.err"));
}

// An error answer carries a page, which lookup and the aligned file read as the
// window would; the tables and the summary say what it was, and it is not kept.
TEST_F(WithSampleSite, AnErrorAnswerIsNotFoundInTheTablesNorKeptInTheCache)
{
    const QString cache = m_folder.filePath("cache");
    const QStringList common = {"--site", m_site.host(), "--rate", "0", "--cache", cache, "00404", "03053"};
    const QByteArray summary = "zipdemographics-cli: 1 found, 0 not found, 0 not five characters, "
                               "1 answered with an error status (\"00404\": http 404), 0 failed\n";
    const ChildRun looked = runCli(QStringList{"lookup", "--delay", "0"} + common);
    EXPECT_EQ(looked.exitCode, 0);
    EXPECT_EQ(looked.out, "00404\tPage not found\n03053\tHarrowmere Falls, NH\n");
    EXPECT_EQ(looked.err, summary);
    EXPECT_EQ(QDir(cache).entryList(QDir::Files).size(), 1);

    const ChildRun csv = runCli(QStringList{"export"} + common + QStringList{"-o", m_folder.filePath("r.csv")});
    EXPECT_EQ(csv.err, summary);
    const QByteArray table = readWholeFile(m_folder.filePath("r.csv"));
    EXPECT_TRUE(table.contains("\r\n00404,00404,http 404,Page not found,")) << table.toStdString();
    EXPECT_TRUE(table.contains("\r\n03053,03053,found,\"Harrowmere Falls, NH\","));
    const ChildRun json = runCli({"show", "--site", m_site.host(), "--format", "jsonl", "00404"});
    EXPECT_TRUE(json.out.contains("\"status\":\"http 404\"")) << json.out.toStdString();
    // Asked again each time: the error page never came from the cache.
    EXPECT_EQ(QDir(cache).entryList(QDir::Files).size(), 1);
}

// A cache file cut short (a machine that stopped mid-write) is fetched again,
// said once; --offline counts it as not there.
TEST_F(WithSampleSite, CutOffCacheFilesAreFetchedAgainAndNamedOnce)
{
    const QString cache = m_folder.filePath("cache");
    const QString out = m_folder.filePath("r.csv");
    const QStringList run = {"export", "--site", m_site.host(), "--rate", "0", "--cache", cache, "03053", "01830",
                             "02134", "-o", out};
    ASSERT_EQ(runCli(run).exitCode, 0);
    const QByteArray whole = readWholeFile(out);
    const QStringList files = QDir(cache).entryList(QDir::Files);
    ASSERT_EQ(files.size(), 3);
    for (const QString& name : files.mid(0, 2)) {
        QFile file(QDir(cache).filePath(name));
        ASSERT_TRUE(file.resize(file.size() / 3));
    }
    const ChildRun offline = runCli({"lookup", "--site", m_site.host(), "--cache", cache, "--offline", "03053", "01830", "02134"});
    EXPECT_EQ(offline.exitCode, 1);
    EXPECT_EQ(offline.err.count("cut short, changed or unreadable; they count as not in the cache"), 1) << offline.err.toStdString();
    EXPECT_EQ(offline.err.count("the page in the cache is damaged"), 2) << offline.err.toStdString();

    const ChildRun again = runCli(run);
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_EQ(again.err.count("zipdemographics-cli: warning: 2 pages in the cache folder"), 1) << again.err.toStdString();
    EXPECT_TRUE(again.err.contains("were cut short, changed or unreadable; they are fetched again"));
    EXPECT_EQ(readWholeFile(out), whole);
    const ChildRun third = runCli(run);
    EXPECT_EQ(third.err, "zipdemographics-cli: 3 found, 0 not found, 0 not five characters, 0 failed\n");
}

TEST_F(WithSampleSite, HostComesFromSiteThenEnvironmentThenBuiltInThroughTheProxy)
{
    const QString dead = "127.0.0.1:1";
    const QString line = "03053\tHarrowmere Falls, NH\n";
    const QList<std::pair<QStringList, QList<EnvironmentChange>>> cases = {
        {{"--site", m_site.host()}, {{"ZIPDEMOGRAPHICS_SITE", dead}}},
        {{}, {{"ZIPDEMOGRAPHICS_SITE", m_site.host()}}},
        {{}, {{"http_proxy", "http://" + m_site.host()}}},
    };
    for (const auto& [options, environment] : cases) {
        const ChildRun run = runCli(QStringList{"lookup", "--delay", "0"} + kUnpaced + options + QStringList{"03053"},
                                    {.environment = environment});
        EXPECT_EQ(run.out, line) << options.join(' ').toStdString();
    }
}

TEST(CliTransport, RefusedConnectionIsNamedAndTheFileStillWritten)
{
    QTemporaryDir folder;
    const QString out = folder.filePath("refused.txt");
    const QString site = "127.0.0.1:" + QString::number(test::refusingLoopbackPort());
    const ChildRun run = runCli(QStringList{"export", "--site", site, "03053", "-o", out} + kUnpaced);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("zipdemographics-cli: entry \"03053\": the transfer failed ("));
    EXPECT_TRUE(run.err.contains("onnect"));
    EXPECT_EQ(readWholeFile(out), "Demographics\t Value\t\r\n");
}

}  // namespace
}  // namespace zd::test
