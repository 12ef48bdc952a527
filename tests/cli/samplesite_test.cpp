// The command line with the sample site, both run as a user runs them.
#include "tests/support/clirun.h"
#include "tests/support/siteprocess.h"
#include "tests/support/testsite.h"
#include "tests/support/wholefile.h"

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
