// Network faults. Each ends in bounded time (the time-outs are cut to seconds
// here), gives the text that arrived before the fault (often none), marks the
// transfer as failed to the callers that ask, leaves the lookup with the name or
// "Zip code not found." and the pointer at rest, and the command line names the
// failure on standard error with its exit status.
#include "core/applicationpointer.h"
#include "core/siteconfig.h"
#include "core/windows1252.h"
#include "retrieval/locationlookup.h"
#include "retrieval/pagefetch.h"
#include "retrieval/requesturl.h"
#include "site/loopbackhttpserver.h"
#include "tests/support/clirun.h"
#include "tests/reliability/peakmemory.h"
#include "tests/reliability/privatemounts.h"
#include "tests/reliability/resettingserver.h"
#include "tests/reliability/stubnameserver.h"
#include "tests/support/samplepages.h"
#include "tests/support/testsite.h"
#include "tests/support/wholefile.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace zd {
namespace {
using namespace std::chrono_literals;
using test::ChildRun;

constexpr auto kSilence = 30s;  // far beyond every time-out set here
constexpr double kBoundSeconds = 10;
constexpr qsizetype kBigBodyBytes = 50 * 1024 * 1024;
const QString kZip = QStringLiteral("12345");
const QString kName = QStringLiteral("Faultline, NH");
const QString kUnresolvableHost = QStringLiteral("zipdemographics-fault.invalid");

// A fetch from the unresolvable host gives up within seconds, empty and marked failed.
void expectUnresolvableHostFailsFast()
{
    QElapsedTimer clock;
    clock.start();
    const FetchOutcome outcome = fetchPageWithOutcome("http://" + kUnresolvableHost + "/index.php?zip=12345");
    EXPECT_LT(clock.elapsed() / 1000.0, 5.0);
    EXPECT_EQ(outcome.body, QString());
    EXPECT_FALSE(outcome.complete);
    EXPECT_FALSE(outcome.transportError.isEmpty());
}

// --- Pages and what the export makes of them.

QByteArray wholePage()
{
    static const QByteArray page = encodeWindows1252(renderSamplePage(
        {kZip, kName, {{"Population", "1,234"}, {"Median Age", "41.0"}}, {{"$10,000-$14,999", "12"}}}));
    return page;
}

// The page up to the end of its location cell: the name, but no figure yet.
QByteArray pageThroughName()
{
    const QByteArray page = wholePage();
    const QByteArray cellEnd = ")</td>";
    return page.left(page.indexOf(cellEnd) + cellEnd.size());
}

// The page with 50 MB of comment after the name: the figures arrive only if the
// whole body does.
QByteArray bigPage()
{
    static const QByteArray page = [] {
        const QByteArray start = pageThroughName();
        QByteArray bytes;
        bytes.reserve(kBigBodyBytes + wholePage().size() + 16);
        bytes += start + "<!--";
        bytes.append(kBigBodyBytes, 'x');
        bytes += "-->" + wholePage().mid(start.size());
        return bytes;
    }();
    return page;
}

QByteArray okHead(qsizetype contentLength)
{
    return "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: "
        + QByteArray::number(contentLength) + "\r\nConnection: close\r\n\r\n";
}

QByteArray padded(const QString& text, qsizetype width)
{
    return text.toLatin1() + QByteArray(std::max<qsizetype>(0, width - text.size()), ' ') + '\t';
}

QByteArray alignedTable(const QList<std::pair<QString, QString>>& rows)
{
    qsizetype first = 12;  // "Demographics"
    qsizetype second = 6;  // " Value"
    for (const auto& [name, value] : rows) {
        first = std::max(first, name.size());
        second = std::max(second, value.size());
    }
    QByteArray table = padded("Demographics", first) + padded(" Value", second) + "\r\n";
    for (const auto& [name, value] : rows)
        table += padded(name, first) + padded(value, second) + "\r\n";
    return table;
}

enum class Arrived { Nothing, FirstByte, Name, WholePage, BigPage };

QByteArray arrivedBytes(Arrived arrived)
{
    switch (arrived) {
    case Arrived::Nothing: return {};
    case Arrived::FirstByte: return wholePage().left(1);
    case Arrived::Name: return pageThroughName();
    case Arrived::WholePage: return wholePage();
    case Arrived::BigPage: return bigPage();
    }
    return {};
}

QByteArray exportedFile(Arrived arrived)
{
    switch (arrived) {
    case Arrived::Nothing:
    case Arrived::FirstByte: return alignedTable({});
    case Arrived::Name: return alignedTable({{kName, ""}});
    case Arrived::WholePage:
    case Arrived::BigPage:
        return alignedTable({{kName, ""},
                             {"Population", "1,234"},
                             {"Median Age", "41.0"},
                             {"household income $10,000-$14,999", "12"}});
    }
    return {};
}

// Compares without printing 100 MB of text when they differ.
void expectText(const QString& text, Arrived arrived)
{
    const QByteArray bytes = arrivedBytes(arrived);
    ASSERT_EQ(text.size(), bytes.size());
    EXPECT_TRUE(text == QLatin1StringView(bytes)) << "same length, different text";
}

// --- The faults.

enum class Site { Serving, Refusing, Unresolvable, Resetting };

struct NetworkFaultCase {
    const char* name;
    Site site;
    LoopbackHttpServer::Handler handler;  // for a serving site
    Arrived arrives;                      // what the fetch gives
    bool complete;                        // the transfer itself succeeded
    bool endsWithoutStallLimit;           // the command line, whose limits stay at 60 s, sees the end soon
};

void headersThenSilence(const HttpRequest&, HttpConnection& connection)
{
    connection.send(okHead(wholePage().size()));
    connection.stall(kSilence);
}

void headersSilenceThenClose(const HttpRequest&, HttpConnection& connection)
{
    connection.send(okHead(wholePage().size()));
    connection.stall(1500ms);
}

// One byte every three seconds: each gap is longer than the one-second stall limit.
void dripSlowerThanTheLimit(const HttpRequest&, HttpConnection& connection)
{
    connection.send(okHead(wholePage().size()));
    connection.sendInChunks(wholePage(), 1, 3s);
}

// Three pieces 600 ms apart: the whole takes longer than the stall limit, no gap does.
void dripWithinTheLimit(const HttpRequest&, HttpConnection& connection)
{
    const QByteArray page = wholePage();
    connection.send(okHead(page.size()));
    connection.sendInChunks(page, page.size() / 3 + 1, 600ms);
}

void fiftyMegabytes(const HttpRequest&, HttpConnection& connection)
{
    connection.sendResponse(200, bigPage());
}

// The first chunk is sound; the size line of the second is no hexadecimal number.
void badChunkSize(const HttpRequest&, HttpConnection& connection)
{
    const QByteArray first = pageThroughName();
    connection.send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n"
                    + QByteArray::number(first.size(), 16) + "\r\n" + first + "\r\n" + "zz\r\n"
                    + wholePage().mid(first.size()) + "\r\n0\r\n\r\n");
}

void redirectToItself(const HttpRequest& request, HttpConnection& connection)
{
    connection.sendRedirect(302, request.target);
}

// Bytes that would give a location name if they were taken for a body.
void notHttp(const HttpRequest&, HttpConnection& connection)
{
    connection.send("WELCOME >(here >(Sneaky Name)</td> this is no web server\r\n");
}

const QList<NetworkFaultCase>& networkFaults()
{
    static const QList<NetworkFaultCase> faults = {
        {"RefusedConnection", Site::Refusing, {}, Arrived::Nothing, false, true},
        {"UnresolvableHost", Site::Unresolvable, {}, Arrived::Nothing, false, true},
        {"ResetMidBody", Site::Resetting, {}, Arrived::Name, false, true},
        {"HeadersThenSilence", Site::Serving, headersThenSilence, Arrived::Nothing, false, false},
        {"HeadersSilenceThenClose", Site::Serving, headersSilenceThenClose, Arrived::Nothing, false, true},
        {"DripSlowerThanTheStallLimit", Site::Serving, dripSlowerThanTheLimit, Arrived::FirstByte,
         false, false},
        {"DripWithinTheStallLimit", Site::Serving, dripWithinTheLimit, Arrived::WholePage, true, true},
        {"FiftyMegabyteBody", Site::Serving, fiftyMegabytes, Arrived::BigPage, true, true},
        {"BadChunkSize", Site::Serving, badChunkSize, Arrived::Name, false, true},
        {"RedirectLoop", Site::Serving, redirectToItself, Arrived::Nothing, false, true},
        {"NotHttpAtAll", Site::Serving, notHttp, Arrived::Nothing, false, true},
    };
    return faults;
}

QList<NetworkFaultCase> faultsTheCommandLineSeesEnd()
{
    QList<NetworkFaultCase> faults;
    for (const NetworkFaultCase& fault : networkFaults()) {
        if (fault.endsWithoutStallLimit)
            faults.append(fault);
    }
    return faults;
}

void PrintTo(const NetworkFaultCase& fault, std::ostream* out) { *out << fault.name; }

std::string caseName(const ::testing::TestParamInfo<NetworkFaultCase>& info) { return info.param.name; }

class NetworkFault : public ::testing::TestWithParam<NetworkFaultCase> {
protected:
    void SetUp() override
    {
        setFetchTimeouts({.connectSeconds = 2, .stallSeconds = 1});
        m_previousWait = lookupWaitSeconds();
        setLookupWaitSeconds(0);
        const NetworkFaultCase& fault = GetParam();
        switch (fault.site) {
        case Site::Serving:
            m_server = std::make_unique<LoopbackHttpServer>(fault.handler);
            ASSERT_TRUE(m_server->listen()) << m_server->errorString().constData();
            m_host = QString::fromLatin1(m_server->hostAndPort());
            break;
        case Site::Refusing:
            m_host = QStringLiteral("127.0.0.1:%1").arg(test::refusingLoopbackPort());
            break;
        case Site::Unresolvable:
            // Where it can, the test answers the name questions itself, so that the
            // result does not hang on the machine's own name service.
            if (test::privateMountsAvailable())
                m_nameServer = std::make_unique<test::StubNameServer>(test::StubNameServer::Behaviour::NoSuchName);
            m_host = kUnresolvableHost;
            break;
        case Site::Resetting:
            // The pause lets the bytes arrive before the reset throws away what is unread.
            m_resetting = std::make_unique<test::ResettingServer>(
                okHead(wholePage().size()) + pageThroughName(), 300ms);
            ASSERT_TRUE(m_resetting->listening());
            m_host = QString::fromLatin1(m_resetting->hostAndPort());
            break;
        }
        setDemographicsHostOverride(m_host);
    }

    void TearDown() override
    {
        m_server.reset();
        m_resetting.reset();
        m_nameServer.reset();
        setFetchTimeouts({});
        setDemographicsHostOverride({});
        setLookupWaitSeconds(m_previousWait);
    }

    QString m_host;
    std::unique_ptr<LoopbackHttpServer> m_server;
    std::unique_ptr<test::ResettingServer> m_resetting;
    std::unique_ptr<test::StubNameServer> m_nameServer;
    double m_previousWait = 1;
};

TEST_P(NetworkFault, FetchPageGivesWhatArrivedInBoundedTime)
{
    QElapsedTimer clock;
    clock.start();
    const QString body = FetchPage(requestUrl(kZip));
    // Bounded by the time-outs set here, not by the server's silence.
    EXPECT_LT(clock.elapsed() / 1000.0, kBoundSeconds);
    expectText(body, GetParam().arrives);
}

TEST_P(NetworkFault, OutcomeMarksTheTransportFailure)
{
    const FetchOutcome outcome = fetchPageWithOutcome(requestUrl(kZip));
    EXPECT_EQ(outcome.complete, GetParam().complete);
    EXPECT_EQ(outcome.transportError.isEmpty(), GetParam().complete)
        << outcome.transportError.toStdString();
    expectText(outcome.body, GetParam().arrives);
}

TEST_P(NetworkFault, LookupGivesTheNameOrNotFoundAndRestoresThePointer)
{
    const bool nameArrived = GetParam().arrives >= Arrived::Name;
    EXPECT_EQ(GetLocationName(kZip), nameArrived ? kName : statusNotFound());
    EXPECT_EQ(ApplicationPointer::busyDepth(), 0);
}

TEST_P(NetworkFault, LookupTellsTheTransportFailureToCallersThatAsk)
{
    const LocationLookup lookup = lookUpLocation(kZip);
    EXPECT_EQ(lookup.text, GetParam().arrives >= Arrived::Name ? kName : statusNotFound());
    EXPECT_EQ(lookup.transportError.isEmpty(), GetParam().complete)
        << lookup.transportError.toStdString();
    EXPECT_EQ(ApplicationPointer::busyDepth(), 0);
}

INSTANTIATE_TEST_SUITE_P(Each, NetworkFault, ::testing::ValuesIn(networkFaults()), caseName);

// --- The command line, run as a child process against the same sites. Its own
// limits stay at 60 seconds, so only faults that end by themselves are run.

class NetworkFaultCommandLine : public NetworkFault {
protected:
    // The run's last line on standard error is its summary; a failed entry is
    // named once on a line of its own before it.
    void expectFailureNamed(const ChildRun& run) const
    {
        const QByteArray named = "zipdemographics-cli: entry \"12345\": the transfer failed (";
        const QList<QByteArray> lines = run.err.trimmed().split('\n');
        if (GetParam().complete) {
            EXPECT_EQ(run.exitCode, 0);
            EXPECT_FALSE(run.err.contains(named)) << run.err.constData();
            EXPECT_TRUE(lines.last().endsWith(" 0 failed")) << run.err.constData();
            return;
        }
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.err.count(named), 1) << run.err.constData();
        EXPECT_TRUE(lines.last().endsWith(" 1 failed: \"12345\"")) << run.err.constData();
    }
};

TEST_P(NetworkFaultCommandLine, ExportNamesTheFailureAndWritesWhatArrived)
{
    QTemporaryDir folder;
    const QString out = folder.filePath(QStringLiteral("result.txt"));
    // Pages up to 64 MB, so that the 50 MB body arrives whole here too.
    const ChildRun run = test::runCli({"export", "--rate", "0", "--retries", "0", "--max-page-size", "64M", "--site",
                                       m_host, kZip, "-o", out});
    ASSERT_TRUE(run.exitedNormally);
    expectFailureNamed(run);
    if (!GetParam().complete) {
        EXPECT_TRUE(run.err.contains("); the rows of what arrived are kept\n")) << run.err.constData();
    }
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(test::readWholeFile(out), exportedFile(GetParam().arrives));
}

TEST_P(NetworkFaultCommandLine, LookupPrintsTheNameOrNotFoundAndNamesTheFailure)
{
    const ChildRun run =
        test::runCli({"lookup", "--delay", "0", "--rate", "0", "--retries", "0", "--max-page-size", "64M", "--site",
                      m_host, kZip});
    ASSERT_TRUE(run.exitedNormally);
    expectFailureNamed(run);
    const QString location = GetParam().arrives >= Arrived::Name ? kName : statusNotFound();
    EXPECT_EQ(run.out, (kZip + '\t' + location + '\n').toUtf8());
}

INSTANTIATE_TEST_SUITE_P(Each, NetworkFaultCommandLine, ::testing::ValuesIn(faultsTheCommandLineSeesEnd()),
                         caseName);

// --- Name service without answers, and a body of 50 MB in memory.

class NetworkFaultAlone : public ::testing::Test {
protected:
    void SetUp() override { setFetchTimeouts({.connectSeconds = 1, .stallSeconds = 1}); }
    void TearDown() override
    {
        setFetchTimeouts({});
        setDemographicsHostOverride({});
    }
};

// A name server that never answers holds the fetch until the system's resolver
// gives up (here told to after one second and one try), not until the connect
// limit, which stays far above it.
TEST_F(NetworkFaultAlone, SilentNameServerEndsTheFetchWhenTheResolverGivesUp)
{
    setFetchTimeouts({.connectSeconds = 30, .stallSeconds = 1});
    test::StubNameServer nameServer(test::StubNameServer::Behaviour::Silent, "timeout:1 attempts:1");
    if (!nameServer.active()) {
        GTEST_SKIP() << "cannot put a silent name server in place: "
                     << nameServer.failure().toStdString();
    }
    expectUnresolvableHostFailsFast();
    EXPECT_GT(nameServer.questionCount(), 0);
}

// No name server at all where the configuration points: the lookup fails at once,
// with the connect limit at its full 60 seconds.
TEST_F(NetworkFaultAlone, AbsentNameServerFailsAtOnce)
{
    setFetchTimeouts({});
    test::StubNameServer nameServer(test::StubNameServer::Behaviour::Absent);
    if (!nameServer.active()) {
        GTEST_SKIP() << "cannot point the resolver at an absent name server: "
                     << nameServer.failure().toStdString();
    }
    expectUnresolvableHostFailsFast();
}

TEST_F(NetworkFaultAlone, UnresolvableHostFailsWithThisMachinesOwnNameService)
{
    expectUnresolvableHostFailsFast();
}

TEST_F(NetworkFaultAlone, FiftyMegabyteBodyTakesNoMoreMemoryThanItsTextNeeds)
{
    LoopbackHttpServer server(fiftyMegabytes);
    ASSERT_TRUE(server.listen());
    bigPage();  // the server's copy is made before the measurement
    if (!test::peakIsMeaningful()) {
        GTEST_SKIP() << "no meaningful memory peak here (no kernel figure, or a sanitizer's allocator)";
    }
    const qint64 before = test::residentBytes();
    ASSERT_TRUE(test::resetPeakResident());
    const QString body = FetchPage(QString::fromLatin1(server.baseUrl()) + "/big");
    const qint64 growth = test::peakResidentBytes() - before;
    expectText(body, Arrived::BigPage);
    // The text takes two bytes per byte; growing it may hold one more copy for a moment.
    const qint64 text = 2 * bigPage().size();
    EXPECT_LT(growth, 2 * text) << "peak growth " << growth / (1024 * 1024) << " MB";
}

}  // namespace
}  // namespace zd
