// The runs of lookup and export in process: what they tell their observer, and
// the exit status, against the loopback test site.
#include "batch/batchsettings.h"
#include "batch/censusapisource.h"
#include "batch/censusentries.h"
#include "batch/exitstatus.h"
#include "batch/exportrun.h"
#include "batch/lookuprun.h"
#include "batch/runobserver.h"
#include "batch/runsummary.h"
#include "batch/sitesource.h"
#include "core/siteconfig.h"
#include "export/resultfile.h"
#include "site/samplesite.h"
#include "tests/support/samplepages.h"
#include "tests/support/testsite.h"
#include "tests/support/wholefile.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <thread>

namespace zd {
namespace {

class RecordingObserver : public RunObserver {
public:
    std::function<void()> afterOutput;
    std::function<void(const QString&)> afterMessage;

    void output(const QString& text) override
    {
        outputs.append(text);
        if (afterOutput)
            afterOutput();
    }
    bool outputFailed() override { return false; }
    void message(const QString& text) override
    {
        messages.append(text);
        if (afterMessage)
            afterMessage(text);
    }
    void progress(const BatchProgress& progress) override
    {
        last = progress;
        all.append(progress);
    }

    QStringList outputs;
    QStringList messages;
    BatchProgress last;
    QList<BatchProgress> all;
};

BatchSettings unpaced()
{
    BatchSettings settings;
    settings.rate = 0;
    settings.retries = 0;
    return settings;
}

// The ZCTA an entry asks for goes into a request's address: five digits and
// nothing else, not even a line end after them.
TEST(CensusEntries, AZctaIsFiveDigitsOnceSpacesAreTrimmed)
{
    EXPECT_EQ(zctaOfEntry(" 03053 "), QStringLiteral("03053"));
    for (const QString& entry : {QStringLiteral("03053\n"), QStringLiteral("0305"), QStringLiteral("030531"),
                                 QStringLiteral("0305a"), QStringLiteral("\u0663\u0660\u0665\u0663\u0665"),
                                 QString()})
        EXPECT_EQ(zctaOfEntry(entry), std::nullopt) << entry.toStdString();
}

TEST(LookupRun, TellsEachEntryInInputOrderAndEndsWithTheSummary)
{
    test::TestSite site;
    site.setPage("03053", test::placePageHtml("03053", "Londonderry, NH"));
    RecordingObserver observer;
    const QStringList entries{"03053", " 123", "", "99999"};
    SiteSource source(unpaced());
    const int status = runLookup(source, entries, observer);

    EXPECT_EQ(status, kExitSuccess);
    EXPECT_EQ(observer.outputs, (QStringList{"03053\tLondonderry, NH\n", " 123\tZip is not 5 digits\n",
                                             "\tBlank line.\n", "99999\tZip code not found.\n"}));
    EXPECT_EQ(observer.messages, QStringList{"1 found, 1 not found, 2 not five characters, 0 failed"});
    EXPECT_EQ(observer.last.done, entries.size());
}

TEST(LookupRun, AStopSignalEndsTheRunWithItsStatusAndSaysHowToGoOn)
{
    test::TestSite site;
    std::atomic<int> stop{0};
    BatchSettings settings = unpaced();
    settings.jobs = 1;
    settings.stopSignal = &stop;
    RecordingObserver observer;
    observer.afterOutput = [&] { stop.store(SIGTERM); };
    QStringList entries;
    for (int i = 0; i < 20; ++i)
        entries.append(QStringLiteral("%1").arg(60000 + i));
    SiteSource source(settings);
    const int status = runLookup(source, entries, observer);

    EXPECT_EQ(status, 128 + SIGTERM);
    EXPECT_LT(observer.outputs.size(), entries.size());
    ASSERT_FALSE(observer.messages.isEmpty());
    EXPECT_EQ(observer.messages.last(),
              QStringLiteral("stopped by SIGTERM after %1 of 20 entries; with --cache DIR a rerun goes on "
                             "where a run stopped").arg(observer.outputs.size()));
}

TEST(ExportRun, AFailedEntryLeavesAnExistingFileAsItWasAndIsNamed)
{
    const quint16 refusing = test::refusingLoopbackPort();
    setDemographicsHostOverride(QStringLiteral("127.0.0.1:%1").arg(refusing));
    QTemporaryDir folder;
    const QString target = folder.filePath("result.csv");
    ASSERT_TRUE(test::writeWholeFile(target, "a good result\n"));
    RecordingObserver observer;
    SiteSource source(unpaced());
    const int status = runExport(source, {"03053"}, target, ExportFormat::Csv, false, unpaced(), observer);
    setDemographicsHostOverride(QString());

    EXPECT_EQ(status, kExitIncomplete);
    EXPECT_EQ(test::readWholeFile(target), "a good result\n");
    ASSERT_GE(observer.messages.size(), 2);
    EXPECT_TRUE(observer.messages.contains(QStringLiteral(
        "1 entry failed, so \"%1\" is left as it was; --partial writes it anyway, and with --cache a rerun "
        "fetches only what is missing").arg(target)))
        << observer.messages.join('\n').toStdString();
}

TEST(ExportRun, AnOutputThatCannotBeWrittenIsRefusedBeforeAnyFetch)
{
    test::TestSite site;
    QTemporaryDir folder;
    RecordingObserver observer;
    SiteSource source(unpaced());
    const int status = runExport(source, {"03053"}, folder.path(), ExportFormat::Csv, false, unpaced(), observer);

    EXPECT_EQ(status, kExitOutputFailed);
    EXPECT_EQ(observer.messages, QStringList{"cannot write \"" + folder.path() + "\": it is a folder"});
    EXPECT_EQ(site.requestCount(), 0);
}

// The census source against the sample site's imitation of the API, in process.
class CensusRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_site.start());
        m_census.baseUrl = QStringLiteral("http://127.0.0.1:%1").arg(m_site.port());
        m_census.year = 2023;
        m_census.key = QStringLiteral("test-key-1");  // the imitation, as the API, wants one on every request
        m_settings.cacheFolder = m_folder.filePath("cache");
    }

    int exportTo(const QString& path, RecordingObserver& observer, ExportFormat format = ExportFormat::Csv)
    {
        CensusApiSource source(m_census, m_settings);
        return runExport(source, m_entries, path, format, false, m_settings, observer);
    }

    SampleSite m_site;
    QTemporaryDir m_folder;
    CensusSettings m_census;
    BatchSettings m_settings = unpaced();
    const QStringList m_entries{"03053", "", "01830", "03053", "123"};
};

// However many requests the API is asked, the progress counts the list's
// entries; answers from the cache cost no time.
TEST_F(CensusRun, TellsItsProgressInTheListsEntries)
{
    m_census.marginsOfError = true;  // 82 variables: two requests
    for (const qsizetype fetchedAnswers : {2 * 3, 0}) {
        RecordingObserver observer;
        ASSERT_EQ(exportTo(m_folder.filePath("out.csv"), observer), kExitSuccess)
            << observer.messages.join('\n').toStdString();
        ASSERT_FALSE(observer.all.isEmpty());
        qsizetype done = 0;
        for (const BatchProgress& progress : observer.all) {
            EXPECT_EQ(progress.total, m_entries.size());
            EXPECT_GE(progress.done, done);
            // The two entries that need no answer, then all once both answers are in.
            EXPECT_TRUE(progress.done == 2 || progress.done == 5) << progress.done;
            // While entries wait, answers are still to come: the time left is never nothing.
            if (progress.done < progress.total) {
                EXPECT_GT(progress.pagesLeft, 0);
            }
            done = progress.done;
        }
        EXPECT_EQ(observer.last.done, 5);
        EXPECT_EQ(observer.last.failed, 0);
        EXPECT_EQ(observer.last.pagesLeft, 0);
        EXPECT_EQ(observer.last.pagesFetched, fetchedAnswers);  // each answer holds three entries
    }

    // Without the margins the request is another, which the cache does not hold.
    m_census.marginsOfError = false;
    m_settings.offline = true;
    RecordingObserver offline;
    EXPECT_EQ(exportTo(m_folder.filePath("out.csv"), offline), kExitIncomplete);
    EXPECT_EQ(offline.last.done, 5);
    EXPECT_EQ(offline.last.failed, 3);
}

// A stop while the API is asked is reported in the list's entries, not in requests.
TEST_F(CensusRun, AStopWhileTheApiIsAskedCountsEntries)
{
    SampleSiteSettings slowly;
    slowly.latency = std::chrono::milliseconds(500);
    SampleSite slow(slowly);
    ASSERT_TRUE(slow.start());
    m_census.baseUrl = QStringLiteral("http://127.0.0.1:%1").arg(slow.port());
    std::atomic<int> stop{0};
    m_settings.stopSignal = &stop;
    std::thread raise([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        stop = SIGINT;
    });
    RecordingObserver observer;
    const int status = exportTo(m_folder.filePath("out.csv"), observer);
    raise.join();
    EXPECT_EQ(status, 128 + SIGINT);
    ASSERT_FALSE(observer.messages.isEmpty());
    EXPECT_TRUE(observer.messages.last().startsWith("stopped by SIGINT after 2 of 5 entries"))
        << observer.messages.last().toStdString();
    EXPECT_FALSE(QFile::exists(m_folder.filePath("out.csv")));
}

// A stop raised once every answer is in, just before the file is written,
// ends the run as a stop and leaves OUT as it was.
TEST_F(CensusRun, AStopWhileTheFileIsWrittenLeavesItAsItWas)
{
    std::atomic<int> stop{0};
    m_settings.stopSignal = &stop;
    ResultFile::setStopFlag(&stop);
    const QString target = m_folder.filePath("out.txt");
    for (const ExportFormat format : {ExportFormat::Aligned, ExportFormat::Csv, ExportFormat::Jsonl, ExportFormat::Xlsx}) {
        ASSERT_TRUE(test::writeWholeFile(target, "what was there\n"));
        stop = 0;
        RecordingObserver observer;
        observer.afterMessage = [&](const QString& text) {
            if (text.startsWith("3 found"))
                stop = SIGTERM;
        };
        EXPECT_EQ(exportTo(target, observer, format), 128 + SIGTERM);
        EXPECT_TRUE(observer.messages.last().startsWith("stopped by SIGTERM after 5 of 5 entries"))
            << observer.messages.last().toStdString();
        EXPECT_EQ(test::readWholeFile(target), "what was there\n");
        EXPECT_EQ(QDir(m_folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"out.txt"});
    }
    ResultFile::setStopFlag(nullptr);
}

// A failed entry keeps the file that was there with the census source as with
// the site's pages: one rule for both sources.
TEST_F(CensusRun, AFailedEntryLeavesAnExistingFileAsItWasAndIsNamed)
{
    RecordingObserver filling;  // the year's list goes into the cache, the figures asked for it do not
    m_census.marginsOfError = true;
    ASSERT_EQ(exportTo(m_folder.filePath("first.csv"), filling), kExitSuccess);
    m_census.marginsOfError = false;
    m_settings.offline = true;
    const QString target = m_folder.filePath("result.csv");
    ASSERT_TRUE(test::writeWholeFile(target, "a good result\n"));
    RecordingObserver observer;
    EXPECT_EQ(exportTo(target, observer), kExitIncomplete);
    EXPECT_EQ(test::readWholeFile(target), "a good result\n");
    EXPECT_TRUE(observer.messages.contains(QStringLiteral(
        "3 entries failed, so \"%1\" is left as it was; --partial writes it anyway, and with --cache a rerun "
        "fetches only what is missing").arg(target)))
        << observer.messages.join('\n').toStdString();
    // Each failed entry is named once, as the site's failed entries are.
    EXPECT_EQ(observer.messages.filter(QStringLiteral("entry \"03053\": ")).size(), 2);
    EXPECT_EQ(observer.messages.filter(QStringLiteral("entry \"01830\": ")).size(), 1);
}

// Lookup is one run over either source: the same list gives the same lines and
// the same summary from the site's pages and from the API.
TEST_F(CensusRun, LookupGivesTheSameLinesFromEitherSource)
{
    test::TestSite pages;
    pages.setPage("03053", test::placePageHtml("03053", "Londonderry, NH"));
    const QStringList entries{"03053", " 123", "", "99999", "03053 "};
    RecordingObserver fromPages;
    SiteSource site(unpaced());
    EXPECT_EQ(runLookup(site, entries, fromPages), kExitSuccess);
    RecordingObserver fromApi;
    CensusApiSource census(m_census, m_settings);
    EXPECT_EQ(runLookup(census, entries, fromApi), kExitSuccess);

    EXPECT_EQ(fromApi.outputs, fromPages.outputs);
    EXPECT_EQ(fromApi.outputs.first(), "03053\tLondonderry, NH\n");
    ASSERT_FALSE(fromApi.messages.isEmpty());
    EXPECT_EQ(fromApi.messages.last(), fromPages.messages.last());
    EXPECT_EQ(fromApi.messages.last(), "2 found, 1 not found, 2 not five characters, 0 failed");
}

// Both sources hand out the same shape of result for the same entries, in
// input order: the entry as given, its zip code, its status and location, and
// labelled figures; the site's broken page is the one entry
// with a problem. The files of the census run name their vintage, the site's none.
TEST_F(CensusRun, EitherSourceHandsOutTheSameShapeOfResult)
{
    test::TestSite pages;
    pages.setPage("03053", test::placePageHtml("03053", "Londonderry, NH"));
    pages.setPage("01830", test::brokenPlacePageHtml("01830", "Haverhill, MA"));
    const QStringList entries{"03053", "", " 123", "01830"};
    SiteSource site(unpaced());
    CensusApiSource census(m_census, m_settings);
    QList<EntryOutcome> fromPages;
    QList<EntryOutcome> fromApi;
    RecordingObserver observer;
    ASSERT_FALSE(site.fetchEach(entries, EntryNeed::Figures, observer,
                                [&](EntryOutcome&& entry) { fromPages.append(std::move(entry)); }));
    ASSERT_FALSE(census.fetchEach(entries, EntryNeed::Figures, observer,
                                  [&](EntryOutcome&& entry) { fromApi.append(std::move(entry)); }));
    ASSERT_EQ(fromPages.size(), entries.size());
    ASSERT_EQ(fromApi.size(), entries.size());
    for (qsizetype i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(entries[i].toStdString());
        for (const QList<EntryOutcome>* from : {&fromPages, &fromApi}) {
            const EntryResult& result = (*from)[i].result;
            EXPECT_EQ(result.entry, entries[i]);
            EXPECT_EQ(result.zip, i == 0 ? "03053" : i == 3 ? "01830" : "");
            EXPECT_EQ(result.location.has_value(), i == 0 || i == 3);
            for (const Figure& figure : result.figures)
                EXPECT_FALSE(figure.label.isEmpty());
        }
    }
    EXPECT_EQ(fromPages[0].result.location, fromApi[0].result.location);
    for (const QList<EntryOutcome>* from : {&fromPages, &fromApi}) {
        EXPECT_EQ((*from)[0].result.status, EntryStatus::Found);
        EXPECT_FALSE((*from)[0].result.figures.isEmpty());
        EXPECT_EQ((*from)[1].result.status, EntryStatus::Blank);
        EXPECT_EQ((*from)[2].result.status, EntryStatus::NotFiveCharacters);
    }
    EXPECT_EQ(fromPages[3].result.status, EntryStatus::Incomplete);
    EXPECT_EQ(fromPages[3].problems.size(), 1);
    EXPECT_EQ(fromApi[3].result.status, EntryStatus::Found);
    for (qsizetype i = 0; i < 3; ++i)
        EXPECT_TRUE(fromPages[i].problems.isEmpty() && fromApi[i].problems.isEmpty());
    EXPECT_FALSE(site.runInfo().figureSource.isNamed());
    EXPECT_EQ(census.runInfo().figureSource.vintage, "2019-2023 ACS 5-year");
}

// Why a census run ends early is a value the run maps to its exit status: the
// key, the year and the request are the user's to change (2); the message is
// the source's, said once.
TEST_F(CensusRun, ARefusedKeyOrAMissingYearEndsTheRunWithAUsageError)
{
    SampleSiteSettings refusing;
    refusing.refuseKey = m_census.key;
    SampleSite refusingSite(refusing);
    ASSERT_TRUE(refusingSite.start());
    CensusSettings refused = m_census;
    refused.baseUrl = QStringLiteral("http://127.0.0.1:%1").arg(refusingSite.port());
    CensusSettings missingYear = m_census;
    missingYear.year = 2009;
    for (const CensusSettings& census : {refused, missingYear}) {
        CensusApiSource source(census, m_settings);
        RecordingObserver observer;
        EXPECT_EQ(runExport(source, m_entries, m_folder.filePath("out.csv"), ExportFormat::Csv, false, m_settings,
                            observer),
                  kExitUsage);
        ASSERT_EQ(observer.messages.size(), 1) << observer.messages.join('\n').toStdString();
        EXPECT_FALSE(observer.messages.first().contains(census.key));
        EXPECT_FALSE(QFile::exists(m_folder.filePath("out.csv")));
    }
}

// The summary counts an entry whose page broke off by whether the page named
// a location, and names the first twenty failed entries, counting the rest.
TEST(RunSummaryLine, CountsIncompleteEntriesByTheirLocationAndNamesTwentyFailures)
{
    RunSummary summary;
    EntryResult named;
    named.entry = QStringLiteral("03053");
    named.status = EntryStatus::Incomplete;
    named.location = QStringLiteral("Londonderry, NH");
    summary.add(named);
    EntryResult unnamed = named;
    unnamed.location.reset();
    summary.add(unnamed);
    for (int i = 0; i < 22; ++i) {
        EntryResult failed;
        failed.entry = QString::number(10000 + i);
        failed.status = EntryStatus::Failed;
        summary.add(failed);
    }
    QStringList first;
    for (int i = 0; i < 20; ++i)
        first.append(QStringLiteral("\"%1\"").arg(10000 + i));
    EXPECT_EQ(summary.line(), "1 found, 1 not found, 0 not five characters, 22 failed: " + first.join(", ")
                                  + " and 2 more");
    EXPECT_EQ(summary.failedCount(), 22);
}

}  // namespace
}  // namespace zd
