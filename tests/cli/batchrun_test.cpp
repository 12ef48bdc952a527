// Long runs of lookup and export against a site inside the test that records
// when each request began and how many were in flight: order, one fetch per
// distinct entry, the caps, retries, robots.txt, the page cache, a stop by
// signal and the run that goes on from it, and the progress line.
#include "core/windows1252.h"
#include "site/loopbackhttpserver.h"
#include "site/samplepages.h"
#include "site/samplesite.h"
#include "tests/support/clirun.h"
#include "tests/support/sitelog.h"
#include "tests/support/siteprocess.h"
#include "tests/support/wholefile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <mutex>
#include <thread>

namespace zd::test {
namespace {

using namespace std::chrono_literals;

QByteArray pageOf(const QString& zip)
{
    return encodeWindows1252(renderSamplePage(generatedPageContent(zip, "Place " + zip)));
}

// The site: a made-up page for every zip code, robots.txt as set, a latency per
// zip code, and answers chosen by a test for a zip code's n-th request.
class ProbeSite {
public:
    using Fault = std::function<bool(const QString& zip, int attempt, HttpConnection&)>;

    ProbeSite() : m_server([this](const HttpRequest& request, HttpConnection& connection) { answer(request, connection); })
    {
        m_clock.start();
    }

    bool listen() { return m_server.listen(); }
    QString host() const { return QString(m_server.hostAndPort()); }

    void setRobots(int status, const QByteArray& text)
    {
        std::lock_guard lock(m_mutex);
        m_robotsStatus = status;
        m_robots = text;
    }
    void setLatency(std::chrono::milliseconds latency) { m_latency = latency; }
    void setSlowFirst(const QString& zip, std::chrono::milliseconds latency) { m_slow.insert(zip, latency); }
    void setFault(Fault fault) { m_fault = std::move(fault); }

    int requestsFor(const QString& zip) const
    {
        std::lock_guard lock(m_mutex);
        return m_counts.value(zip);
    }
    int pageRequests() const
    {
        std::lock_guard lock(m_mutex);
        return int(m_pageStarts.size());
    }
    int robotsRequests() const { return requestsFor("robots.txt"); }
    int mostInFlight() const { return m_mostInFlight; }
    QList<double> pageStarts() const
    {
        std::lock_guard lock(m_mutex);
        return m_pageStarts;
    }
    void forget()
    {
        std::lock_guard lock(m_mutex);
        m_counts.clear();
        m_pageStarts.clear();
        m_mostInFlight = 0;
    }

private:
    void answer(const HttpRequest& request, HttpConnection& connection)
    {
        if (request.pathAndQuery() == "/robots.txt")
            return answerRobots(connection);
        const QString zip = SampleSite::zipOfTarget(request.pathAndQuery()).value_or("?");
        int attempt = 0;
        {
            std::lock_guard lock(m_mutex);
            attempt = ++m_counts[zip];
            m_pageStarts.append(m_clock.nsecsElapsed() / 1e9);
            m_mostInFlight = std::max(m_mostInFlight, ++m_inFlight);
        }
        connection.stall(m_slow.value(zip, m_latency));
        {
            // Out of flight once the answer starts: the client may start its next
            // request as soon as the answer has arrived.
            std::lock_guard lock(m_mutex);
            --m_inFlight;
        }
        if (!m_fault || !m_fault(zip, attempt, connection))
            connection.sendResponse(200, pageOf(zip));
    }

    void answerRobots(HttpConnection& connection)
    {
        std::lock_guard lock(m_mutex);
        ++m_counts["robots.txt"];
        connection.sendResponse(m_robotsStatus, m_robots, "text/plain");
    }

    mutable std::mutex m_mutex;
    QHash<QString, int> m_counts;
    QList<double> m_pageStarts;
    int m_inFlight = 0;
    int m_mostInFlight = 0;
    int m_robotsStatus = 404;
    QByteArray m_robots = "no robots.txt here";
    std::chrono::milliseconds m_latency{0};
    QHash<QString, std::chrono::milliseconds> m_slow;
    Fault m_fault;
    QElapsedTimer m_clock;
    LoopbackHttpServer m_server;
};

QStringList zipRange(int first, int count)
{
    QStringList zips;
    for (int i = 0; i < count; ++i)
        zips.append(QStringLiteral("%1").arg(first + i, 5, 10, QLatin1Char('0')));
    return zips;
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

class BatchRun : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_site.listen()); }

    ChildRun cli(const QString& command, const QStringList& arguments,
                 const QList<EnvironmentChange>& environment = {})
    {
        return runCli(QStringList{command, "--site", m_site.host()} + arguments, {.environment = environment});
    }
    QString path(const QString& name) const { return m_folder.filePath(name); }

    ProbeSite m_site;
    QTemporaryDir m_folder;
};

TEST_F(BatchRun, ResultsKeepInputOrderWhateverOrderPagesArriveInAndEachDistinctEntryIsFetchedOnce)
{
    // The first entries answer last.
    const QStringList zips = zipRange(1001, 12);
    for (int i = 0; i < 6; ++i)
        m_site.setSlowFirst(zips[i], std::chrono::milliseconds(300 - 50 * i));
    const QStringList entries = zips + QStringList{zips[3], zips[0], zips[11]};

    const ChildRun one = cli("export", QStringList{"--jobs", "1", "--rate", "0", "-o", path("one.txt")} + entries);
    ASSERT_EQ(one.exitCode, 0) << one.err.constData();
    m_site.forget();
    const ChildRun eight = cli("export", QStringList{"--jobs", "8", "--rate", "0", "-o", path("eight.txt")} + entries);
    ASSERT_EQ(eight.exitCode, 0) << eight.err.constData();
    EXPECT_EQ(readWholeFile(path("eight.txt")), readWholeFile(path("one.txt")));
    EXPECT_GT(m_site.mostInFlight(), 1) << "the pages were fetched in parallel";
    for (const QString& zip : zips)
        EXPECT_EQ(m_site.requestsFor(zip), 1) << zip.toStdString();
    EXPECT_EQ(m_site.robotsRequests(), 1);

    const ChildRun looked = cli("lookup", QStringList{"--jobs", "8", "--rate", "0", "--delay", "0"} + entries);
    QByteArray expected;
    for (const QString& entry : entries)
        expected += (entry + "\tPlace " + entry + '\n').toUtf8();
    EXPECT_EQ(looked.out, expected);
}

TEST_F(BatchRun, NeverMoreTransfersAtOnceThanJobsNorMoreStartsPerSecondThanTheRate)
{
    m_site.setLatency(150ms);
    const ChildRun capped = cli("lookup", QStringList{"--jobs", "3", "--rate", "0", "--delay", "0"} + zipRange(2001, 12));
    ASSERT_EQ(capped.exitCode, 0) << capped.err.constData();
    EXPECT_EQ(m_site.mostInFlight(), 3);

    m_site.forget();
    // The exact pace is the engine's own test (on a clock of its own); here the
    // program's --rate reaches it: at most 4 starts in any second. The site's
    // clock sees them a little early or late, hence the margin.
    const ChildRun paced = cli("lookup", QStringList{"--jobs", "8", "--rate", "4", "--delay", "0"} + zipRange(2101, 6));
    ASSERT_EQ(paced.exitCode, 0) << paced.err.constData();
    const QList<double> starts = m_site.pageStarts();
    ASSERT_EQ(starts.size(), 6);
    for (qsizetype i = 4; i < starts.size(); ++i)
        EXPECT_GE(starts[i] - starts[i - 4], 0.95) << "starts " << i - 4 << " to " << i;
}

TEST_F(BatchRun, TransientFailuresAreTriedAgainAndFinalAnswersAreNot)
{
    m_site.setFault([](const QString& zip, int attempt, HttpConnection& connection) {
        if (zip == "50300" && attempt < 3)
            return connection.sendResponse(503, "busy"), true;
        if (zip == "00000" && attempt == 1)
            return connection.close(), true;  // reset before any answer
        if (zip == "50000")
            return connection.sendResponse(500, "broken"), true;
        if (zip == "40400")
            return connection.sendResponse(404, pageOf("40400")), true;
        if (zip == "40000")
            return connection.sendResponse(400, "bad"), true;
        return false;
    });
    const QString out = path("retried.txt");
    const ChildRun run = cli("lookup", {"--retries", "2", "--rate", "0", "--delay", "0", "50300", "00000", "50000",
                                         "40400", "40000"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(m_site.requestsFor("50300"), 3);
    EXPECT_EQ(m_site.requestsFor("00000"), 2);
    EXPECT_EQ(m_site.requestsFor("50000"), 3) << "one try and two retries";
    EXPECT_EQ(m_site.requestsFor("40400"), 1);
    EXPECT_EQ(m_site.requestsFor("40000"), 1);
    EXPECT_EQ(run.out, "50300\tPlace 50300\n00000\tPlace 00000\n50000\tZip code not found.\n"
                       "40400\tPlace 40400\n40000\tZip code not found.\n");
    EXPECT_TRUE(run.err.contains("entry \"50000\": the transfer failed (the site answered with status 500 on every try)"))
        << run.err.constData();
    EXPECT_TRUE(run.err.endsWith("2 found, 0 not found, 0 not five characters, 2 answered with an error status "
                                 "(\"40400\": http 404, \"40000\": http 400), 1 failed: \"50000\"\n"))
        << run.err.constData();
}

TEST_F(BatchRun, RobotsTxtForbidsAllowsOrSlowsTheRun)
{
    m_site.setRobots(200, "User-agent: *\nDisallow: /index.php?zip=1\n");
    const ChildRun denied = cli("export", {"--rate", "0", "-o", path("denied.txt"), "20000", "10000"});
    EXPECT_EQ(denied.exitCode, 2);
    EXPECT_EQ(m_site.pageRequests(), 0);
    EXPECT_FALSE(QFile::exists(path("denied.txt")));
    EXPECT_TRUE(denied.err.contains("robots.txt forbids fetching /index.php?zip=10000&amppagetype=main "
                                    "(Disallow: /index.php?zip=1)")) << denied.err.constData();

    const ChildRun ignored = cli("lookup", {"--rate", "0", "--delay", "0", "--ignore-robots", "10000"});
    EXPECT_EQ(ignored.exitCode, 0);
    EXPECT_TRUE(ignored.err.startsWith("zipdemographics-cli: warning: --ignore-robots")) << ignored.err.constData();
    EXPECT_EQ(ignored.out, "10000\tPlace 10000\n");

    const ChildRun allowed = cli("lookup", {"--rate", "0", "--delay", "0", "20000"});
    EXPECT_EQ(allowed.exitCode, 0);

    m_site.forget();
    m_site.setRobots(200, "User-agent: Harrowfen\nCrawl-delay: 0.4\n");
    const ChildRun slowed = cli("lookup", QStringList{"--jobs", "4", "--rate", "0", "--delay", "0"} + zipRange(3001, 3));
    EXPECT_EQ(slowed.exitCode, 0);
    const QList<double> starts = m_site.pageStarts();
    ASSERT_EQ(starts.size(), 3);
    for (qsizetype i = 1; i < starts.size(); ++i)
        EXPECT_GE(starts[i] - starts[i - 1], 0.37);
}

TEST_F(BatchRun, ACacheRerunFetchesNothingAndOfflineAnswersFromTheCacheOnly)
{
    const QString cache = path("cache");
    const QStringList entries = zipRange(4001, 6);
    const QStringList options = {"--rate", "0", "--cache", cache};
    ASSERT_EQ(cli("export", options + QStringList{"-o", path("first.txt")} + entries).exitCode, 0);
    EXPECT_EQ(m_site.pageRequests(), 6);
    EXPECT_EQ(filesIn(cache).size(), 6) << "one file per page, no temporary file";

    m_site.forget();
    const ChildRun again = cli("export", options + QStringList{"-o", path("again.txt")} + entries);
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_EQ(m_site.pageRequests() + m_site.robotsRequests(), 0);
    EXPECT_EQ(readWholeFile(path("again.txt")), readWholeFile(path("first.txt")));

    const ChildRun offline = cli("lookup", QStringList{"--offline", "--cache", cache, "04001", "09999"});
    EXPECT_EQ(offline.exitCode, 1);
    EXPECT_EQ(offline.out, "04001\tPlace 04001\n09999\tZip code not found.\n");
    EXPECT_TRUE(offline.err.contains("entry \"09999\": the transfer failed (the page is not in the cache)"));
    EXPECT_EQ(m_site.pageRequests(), 0);

    const ChildRun stale = cli("lookup", options + QStringList{"--delay", "0", "--max-age", "0"} + entries);
    EXPECT_EQ(stale.exitCode, 0);
    EXPECT_EQ(m_site.pageRequests(), 6) << "pages older than --max-age are fetched again";
}

TEST_F(BatchRun, AnExportWithFailedEntriesLeavesAnExistingFileUnlessPartialAndACachedRerunCompletesIt)
{
    bool siteDown = true;
    m_site.setFault([&](const QString& zip, int, HttpConnection& connection) {
        if (siteDown && zip == "05002")
            return connection.sendResponse(503, "down"), true;
        return false;
    });
    const QString out = path("result.txt");
    ASSERT_TRUE(writeWholeFile(out, "yesterday's good file\r\n"));
    const QStringList entries = {"05001", "05002", "05003"};
    const QStringList options = {"--rate", "0", "--retries", "1", "--cache", path("cache"), "-o", out};
    const ChildRun failed = cli("export", options + entries);
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_EQ(readWholeFile(out), "yesterday's good file\r\n");
    EXPECT_TRUE(failed.err.contains("1 entry failed, so \"" + out.toUtf8() + "\" is left as it was"));
    EXPECT_EQ(filesIn(m_folder.path()), QStringList{"result.txt"});

    const ChildRun partial = cli("export", QStringList{"--partial"} + options + entries);
    EXPECT_EQ(partial.exitCode, 1);
    EXPECT_TRUE(readWholeFile(out).startsWith("Demographics"));

    siteDown = false;
    m_site.forget();
    const ChildRun completed = cli("export", options + entries);
    EXPECT_EQ(completed.exitCode, 0) << completed.err.constData();
    EXPECT_EQ(m_site.pageRequests(), 1) << "only the entry that failed";
    EXPECT_TRUE(readWholeFile(out).contains("Place 05002"));
}

// A run stopped by a signal about half way, then the same command again.
class StoppedRun : public BatchRun, public ::testing::WithParamInterface<int> {};

TEST_P(StoppedRun, LeavesTheOutputAndNoTemporaryFileAndTheRerunFetchesExactlyWhatIsMissing)
{
    m_site.setLatency(60ms);
    const QStringList entries = zipRange(6001, 40);
    const QString out = path("out/result.txt");
    QDir().mkpath(path("out"));
    ASSERT_TRUE(writeWholeFile(out, "the previous result\r\n"));
    const QStringList arguments = QStringList{"export", "--site", m_site.host(), "--jobs", "2", "--rate", "0",
                                              "--cache", path("cache"), "-o", out} + entries;
    ChildProcess process(ZD_CLI_EXECUTABLE, arguments, {.timeoutMs = 40000});
    ASSERT_TRUE(process.started());
    QElapsedTimer waited;
    waited.start();
    while (m_site.pageRequests() < 20 && waited.elapsed() < 20000)
        std::this_thread::sleep_for(5ms);
    ::kill(pid_t(process.processId()), GetParam());
    const ChildRun stopped = process.finish();
    ASSERT_TRUE(stopped.exitedNormally);
    EXPECT_EQ(stopped.exitCode, 128 + GetParam());
    EXPECT_TRUE(stopped.err.contains("stopped by SIG"));
    EXPECT_EQ(readWholeFile(out), "the previous result\r\n");
    EXPECT_EQ(filesIn(path("out")), QStringList{"result.txt"});
    const qsizetype kept = filesIn(path("cache")).size();
    EXPECT_GE(kept, 18);
    EXPECT_LT(kept, 40);
    for (const QString& file : filesIn(path("cache")))
        EXPECT_TRUE(file.endsWith(".page")) << file.toStdString();

    const int fetchedBefore = m_site.pageRequests();
    m_site.forget();
    const ChildRun rerun = runCli(arguments);
    EXPECT_EQ(rerun.exitCode, 0) << rerun.err.constData();
    EXPECT_EQ(m_site.pageRequests(), 40 - kept);
    EXPECT_LE(kept, fetchedBefore);
    for (const QString& zip : entries)
        EXPECT_LE(m_site.requestsFor(zip), 1);
    m_site.forget();
    ASSERT_EQ(cli("export", QStringList{"--rate", "0", "--jobs", "8", "-o", path("fresh.txt")} + entries).exitCode, 0);
    EXPECT_EQ(readWholeFile(out), readWholeFile(path("fresh.txt")));
}

INSTANTIATE_TEST_SUITE_P(Signals, StoppedRun, ::testing::Values(SIGINT, SIGTERM));

// Pointers to the texts, ended by a null pointer, as exec takes them.
QList<char*> nullTerminated(QList<QByteArray>& texts)
{
    QList<char*> pointers;
    for (QByteArray& text : texts)
        pointers.append(text.data());
    pointers.append(nullptr);
    return pointers;
}

// The command line run on a pseudo-terminal, as in a terminal window (of the
// given width, when one is given), in the environment of runChild's children:
// what it wrote to the terminal.
QByteArray runOnTerminal(const QStringList& arguments, unsigned short columns = 0)
{
    QList<QByteArray> argumentBytes;
    for (const QString& argument : QStringList{ZD_CLI_EXECUTABLE} + arguments)
        argumentBytes.append(argument.toLocal8Bit());
    QList<QByteArray> environmentBytes;
    for (const QString& variable : childEnvironment().toStringList())
        environmentBytes.append(variable.toLocal8Bit());
    const QList<char*> argv = nullTerminated(argumentBytes);
    const QList<char*> envp = nullTerminated(environmentBytes);
    int terminal = -1;
    struct winsize size = {};
    size.ws_row = 24;
    size.ws_col = columns;
    const pid_t child = forkpty(&terminal, nullptr, nullptr, columns > 0 ? &size : nullptr);
    if (child == 0) {
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    QByteArray seen;
    char buffer[4096];
    for (ssize_t n; (n = ::read(terminal, buffer, sizeof buffer)) > 0;)
        seen.append(buffer, n);
    ::close(terminal);
    int status = 0;
    ::waitpid(child, &status, 0);
    return seen;
}

TEST_F(BatchRun, ProgressIsDrawnOnATerminalOnlyAndClearedAtTheEnd)
{
    m_site.setLatency(50ms);
    const QStringList arguments = QStringList{"lookup", "--site", m_site.host(), "--rate", "0", "--delay", "0"}
                                  + zipRange(7001, 12);
    const QByteArray terminal = runOnTerminal(arguments);
    EXPECT_TRUE(terminal.contains("\r\033[K")) << terminal.constData();
    EXPECT_TRUE(terminal.contains("/12 done, 0 failed, ")) << terminal.constData();
    EXPECT_TRUE(terminal.contains("requests/s"));

    const QByteArray quiet = runOnTerminal(QStringList{arguments.first(), "--quiet"} + arguments.mid(1));
    EXPECT_FALSE(quiet.contains("\033")) << quiet.constData();
    EXPECT_TRUE(quiet.contains("12 found, 0 not found"));

    const ChildRun piped = runCli(arguments);
    EXPECT_FALSE(piped.err.contains("\033"));
    EXPECT_FALSE(piped.err.contains("done,"));

    // On a narrow terminal each drawing fits in the line.
    const QByteArray narrow = runOnTerminal(arguments, 20);
    const QList<QByteArray> drawings = narrow.split('\r');
    EXPECT_GT(drawings.size(), 2);
    for (const QByteArray& drawing : drawings) {
        if (drawing.startsWith("\033[K") && drawing.contains("done"))
            EXPECT_LE(drawing.size() - 3, 19) << drawing.constData();
    }
}

TEST_F(BatchRun, LookupWritesTabsLineEndsAndBackslashesInsideFieldsAsEscapes)
{
    // Five characters each, so the made-up names hold them too.
    const ChildRun run = cli("lookup", {"--rate", "0", "--delay", "0", "a\tb\\c", "x\ry\nz", "\t\t\t"});
    EXPECT_EQ(run.out.toStdString(), "a\\tb\\\\c\tPlace a\\tb\\\\c\n"
                                     "x\\ry\\nz\tPlace x\\ry\\nz\n"
                                     "\\t\\t\\t\tZip is not 5 digits\n");
}


// --- The sample site's own transient faults and kept-alive connections, read
// from its log.

TEST(BatchRunOnTheSampleSite, ItsTransientFaultsAreRetriedUntilThePageArrivesAndRetryAfterDatesAreKept)
{
    QTemporaryDir folder;
    const QString log = folder.filePath("site.log");
    SiteProcess site({"--log", log});
    const ChildRun run = runCli({"lookup", "--site", site.host(), "--rate", "0", "--delay", "0", "--jobs", "4",
                                 "00429", "00430", "00503", "00104", "03053"});
    site.stop(SIGTERM);
    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_TRUE(run.err.endsWith(" 0 failed\n")) << run.err.constData();
    const QList<SiteLogLine> lines = readSiteLog(log);
    EXPECT_EQ(siteLogLinesFor(lines, "00429").size(), 2);
    EXPECT_EQ(siteLogLinesFor(lines, "00503").size(), 3);
    EXPECT_EQ(siteLogLinesFor(lines, "00104").size(), 2);
    const QList<SiteLogLine> dated = siteLogLinesFor(lines, "00430");
    ASSERT_EQ(dated.size(), 2);
    EXPECT_EQ(dated[0].status, 429);
    EXPECT_GE(dated[0].arrived.msecsTo(dated[1].arrived), 1000) << "Retry-After as a date 2 s ahead";
    const QList<SiteLogLine> seconds = siteLogLinesFor(lines, "00429");
    EXPECT_GE(seconds[0].arrived.msecsTo(seconds[1].arrived), 900) << "Retry-After: 1";
}

TEST(BatchRunOnTheSampleSite, ConnectionsAreKeptAliveAndReusedByTheJobs)
{
    QTemporaryDir folder;
    const QString log = folder.filePath("site.log");
    SiteProcess site({"--log", log, "--every-zip"});
    const ChildRun run = runCli(QStringList{"lookup", "--site", site.host(), "--rate", "0", "--retries", "0",
                                            "--delay", "0", "--jobs", "2"} + zipRange(8001, 20));
    site.stop(SIGTERM);
    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    QSet<int> connections;
    for (const SiteLogLine& line : readSiteLog(log))
        connections.insert(line.connection);
    EXPECT_EQ(readSiteLog(log).size(), 21);
    EXPECT_LE(connections.size(), 3) << "robots.txt and 20 pages over the two jobs' connections";
}

}  // namespace
}  // namespace zd::test
