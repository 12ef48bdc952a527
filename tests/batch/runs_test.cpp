// The runs of lookup and export in process: what they tell their observer, and
// the exit status, against the loopback test site.
#include "batch/batchsettings.h"
#include "batch/exitstatus.h"
#include "batch/exportrun.h"
#include "batch/lookuprun.h"
#include "batch/runobserver.h"
#include "core/siteconfig.h"
#include "tests/support/samplepages.h"
#include "tests/support/testsite.h"
#include "tests/support/wholefile.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>

namespace zd {
namespace {

class RecordingObserver : public RunObserver {
public:
    std::function<void()> afterOutput;

    void output(const QString& text) override
    {
        outputs.append(text);
        if (afterOutput)
            afterOutput();
    }
    bool outputFailed() override { return false; }
    void message(const QString& text) override { messages.append(text); }
    void progress(const BatchProgress& progress) override { last = progress; }

    QStringList outputs;
    QStringList messages;
    BatchProgress last;
};

BatchSettings unpaced()
{
    BatchSettings settings;
    settings.rate = 0;
    settings.retries = 0;
    return settings;
}

TEST(LookupRun, TellsEachEntryInInputOrderAndEndsWithTheSummary)
{
    test::TestSite site;
    site.setPage("03053", test::placePageHtml("03053", "Londonderry, NH"));
    RecordingObserver observer;
    const QStringList entries{"03053", " 123", "", "99999"};
    const int status = runLookup(entries, 0, unpaced(), observer);

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
    const int status = runLookup(entries, 0, settings, observer);

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
    const int status = runExport({"03053"}, target, ExportFormat::Csv, false, unpaced(), observer);
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
    const int status = runExport({"03053"}, folder.path(), ExportFormat::Csv, false, unpaced(), observer);

    EXPECT_EQ(status, kExitOutputFailed);
    EXPECT_EQ(observer.messages, QStringList{"cannot write \"" + folder.path() + "\": it is a folder"});
    EXPECT_EQ(site.requestCount(), 0);
}

}  // namespace
}  // namespace zd
