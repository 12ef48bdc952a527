// A stop by signal at each stage of an export: while robots.txt is read, while
// pages come from the cache, while the file is written. Each ends the run with
// 128 + the signal, leaves OUT as it was and no temporary file beside it.
#include "batch/batchsettings.h"
#include "batch/exportrun.h"
#include "batch/runobserver.h"
#include "batch/sitesource.h"
#include "core/siteconfig.h"
#include "export/exportformat.h"
#include "export/resultfile.h"
#include "site/loopbackhttpserver.h"
#include "site/samplepages.h"
#include "core/windows1252.h"
#include "tests/batch/testclock.h"
#include "tests/support/wholefile.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>

namespace zd {
namespace {

using namespace std::chrono_literals;

// Keeps the messages; raises the stop flag when one of them starts as asked.
class StoppingObserver : public RunObserver {
public:
    StoppingObserver(std::atomic<int>& stop, QString trigger) : m_stop(stop), m_trigger(std::move(trigger)) {}
    void output(const QString&) override {}
    bool outputFailed() override { return false; }
    void message(const QString& text) override
    {
        messages.append(text);
        if (!m_trigger.isEmpty() && text.contains(m_trigger))
            m_stop = SIGTERM;
    }
    QStringList messages;

private:
    std::atomic<int>& m_stop;
    QString m_trigger;
};

class StopAtEachStage : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_server.listen());
        setDemographicsHostOverride(QString(m_server.hostAndPort()));
        ResultFile::setStopFlag(&m_stop);
        ASSERT_TRUE(test::writeWholeFile(m_out, "what was there\n"));
        m_settings.rate = 0;
        m_settings.jobs = 4;
        m_settings.cacheFolder = m_folder.filePath("cache");
        m_settings.stopSignal = &m_stop;
        for (int zip = 10000; zip < 10300; ++zip)
            m_entries.append(QString::number(zip));
    }
    void TearDown() override
    {
        ResultFile::setStopFlag(nullptr);
        setDemographicsHostOverride({});
    }

    int exportAll(RunObserver& observer, ExportFormat format = ExportFormat::Aligned)
    {
        SiteSource source(m_settings);
        return runExport(source, m_entries, m_out, format, false, m_settings, observer);
    }
    void expectOutputUntouched()
    {
        EXPECT_EQ(test::readWholeFile(m_out), "what was there\n");
        EXPECT_EQ(QDir(m_folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"out.txt"});
    }

    std::atomic<int> m_stop{0};
    std::atomic<int> m_stopAtRobots{0};  // the signal raised as robots.txt is asked for
    LoopbackHttpServer m_server{[this](const HttpRequest& request, HttpConnection& connection) {
        if (request.target.startsWith("/robots.txt")) {
            if (m_stopAtRobots != 0) {
                m_stop = m_stopAtRobots.load();
                connection.stall(60s);  // past the grace after the stop, until the server stops
            }
            connection.sendResponse(404, "none");
            return;
        }
        const QString zip = QString::fromLatin1(request.target.mid(request.target.indexOf("zip=") + 4, 5));
        connection.sendResponse(200, encodeWindows1252(renderSamplePage(generatedPageContent(zip, "Place " + zip))));
    }};
    QTemporaryDir m_folder;
    const QString m_out = m_folder.filePath("out.txt");
    BatchSettings m_settings;
    QStringList m_entries;
};

TEST_F(StopAtEachStage, WhileRobotsTxtIsReadNothingIsSaidOfRobotsTxt)
{
    m_stopAtRobots = SIGINT;
    test::TestClock clock(100);  // the grace after the stop passes in a twentieth of a real second
    m_settings.clock = &clock;
    StoppingObserver observer(m_stop, {});
    const int status = exportAll(observer);
    EXPECT_EQ(status, 128 + SIGINT);
    EXPECT_GE(clock.seconds(), 5.0) << "robots.txt was given up before the grace after the stop ended";
    EXPECT_FALSE(observer.messages.join('\n').contains("robots.txt")) << observer.messages.join('\n').toStdString();
    EXPECT_TRUE(observer.messages.last().startsWith("stopped by SIGINT after 0 of 300 entries"));
    expectOutputUntouched();
}

TEST_F(StopAtEachStage, WhilePagesComeFromTheCacheAndWhileTheFileIsWritten)
{
    StoppingObserver filling(m_stop, {});
    ASSERT_EQ(exportAll(filling), 0);
    ASSERT_TRUE(test::writeWholeFile(m_out, "what was there\n"));
    m_settings.offline = true;

    m_stop = SIGTERM;  // already raised as the cache is read
    StoppingObserver early(m_stop, {});
    EXPECT_EQ(exportAll(early), 128 + SIGTERM);
    EXPECT_TRUE(early.messages.last().startsWith("stopped by SIGTERM after ")) << early.messages.last().toStdString();
    expectOutputUntouched();

    // Raised with the summary, just before the file is written.
    for (const ExportFormat format : {ExportFormat::Aligned, ExportFormat::Csv, ExportFormat::Jsonl, ExportFormat::Xlsx}) {
        SCOPED_TRACE(exportFormatName(format).toStdString());
        m_stop = 0;
        StoppingObserver writing(m_stop, QStringLiteral("300 found"));
        EXPECT_EQ(exportAll(writing, format), 128 + SIGTERM);
        EXPECT_TRUE(writing.messages.last().startsWith("stopped by SIGTERM after 300 of 300 entries"));
        expectOutputUntouched();
    }
}

}  // namespace
}  // namespace zd
