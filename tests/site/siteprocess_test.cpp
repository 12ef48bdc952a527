#include "core/programversion.h"
#include "core/windows1252.h"
#include "site/faultmodes.h"
#include "site/samplepages.h"
#include "site/siteoptions.h"
#include "tests/support/childprocess.h"
#include "tests/support/rawhttp.h"
#include "tests/support/sitelog.h"
#include "tests/support/siteprocess.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <signal.h>

#include <thread>

namespace zd::test {
namespace {

QByteArray pageTarget(const QByteArray& zip) { return "/index.php?zip=" + zip + "&amppagetype=main"; }

// The body of a chunked response, and the largest chunk in it.
QByteArray unchunk(const QByteArray& framed, qsizetype& largest)
{
    QByteArray body;
    largest = 0;
    for (qsizetype at = 0;;) {
        const qsizetype lineEnd = framed.indexOf("\r\n", at);
        const qsizetype size = framed.mid(at, lineEnd - at).toLongLong(nullptr, 16);
        if (lineEnd < 0 || size == 0)
            return body;
        largest = std::max(largest, size);
        body += framed.mid(lineEnd + 2, size);
        at = lineEnd + 2 + size + 2;
    }
}

TEST(SiteProcess, ServesPagesDirectlyAndAsProxyLogsEachRequestAndStopsOnSigterm)
{
    QTemporaryDir folder;
    const QString logPath = folder.filePath("site.log");
    SiteProcess site({"--log", logPath});
    const QByteArray page03053 = encodeWindows1252(*samplePage("03053"));
    const QList<std::tuple<QByteArray, int, QByteArray>> requests = {
        {pageTarget("03053"), 200, page03053},
        {"http://zipdemographics.example.net" + pageTarget("03053"), 200, page03053},
        {pageTarget("%2003053"), 200, encodeWindows1252(unknownZipPage(" 03053"))},
        {"/", 200, encodeWindows1252(indexPage(faultModeListHtml()))},
        {"/favicon.ico", 404, encodeWindows1252(notAPageOfThisSite("/favicon.ico"))},
    };
    for (const auto& [target, status, body] : requests) {
        const RawResponse response = rawGet(site.port(), target);
        EXPECT_EQ(response.status, status) << target.constData();
        EXPECT_EQ(response.body, body) << target.constData();
        EXPECT_EQ(response.header("Content-Type"), "text/html; charset=windows-1252");
    }
    const ChildRun stopped = site.stop(SIGTERM);
    EXPECT_TRUE(stopped.exitedNormally);
    EXPECT_EQ(stopped.exitCode, 0);
    EXPECT_TRUE(stopped.err.endsWith("zipdemographics-site: stopped (SIGTERM)\n"));

    const QList<SiteLogLine> lines = readSiteLog(logPath);
    ASSERT_EQ(lines.size(), requests.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const auto& [target, status, body] = requests[i];
        EXPECT_EQ(lines[i].method, "GET");
        EXPECT_EQ(lines[i].target, target);
        EXPECT_EQ(lines[i].status, status) << target.constData();
        EXPECT_EQ(lines[i].bytes, body.size()) << target.constData();
    }
}

TEST(SiteProcess, EveryFaultModeMisbehavesAsItsHelpSays)
{
    SiteProcess site;
    const auto get = [&](const char* zip) { return rawGet(site.port(), pageTarget(zip)); };

    const RawResponse notFound = get("00404");
    EXPECT_EQ(notFound.status, 404);
    EXPECT_EQ(notFound.body, notFoundBody());

    const RawResponse empty = get("00204");
    EXPECT_EQ(empty.status, 200);
    EXPECT_EQ(empty.header("Content-Length"), "0");
    EXPECT_TRUE(empty.body.isEmpty());

    const RawResponse chunks = get("00001");
    qsizetype largest = 0;
    EXPECT_EQ(chunks.header("Transfer-Encoding"), "chunked");
    EXPECT_EQ(unchunk(chunks.body, largest), faultTestPage("00001", "Tiny Chunks Test Page"));
    EXPECT_LE(largest, 9);
    EXPECT_TRUE(chunks.body.endsWith("\r\n0\r\n\r\n"));

    const QByteArray cutPage = faultTestPage("00002", "Cut Off Test Page");
    const RawResponse cut = get("00002");
    EXPECT_EQ(cut.header("Content-Length").toLongLong(), cutPage.size());
    EXPECT_EQ(cut.body, cutPage.left(cutPage.size() / 2));

    const RawResponse drip = get("00003");
    EXPECT_EQ(drip.body, faultTestPage("00003", "Slow Drip Test Page"));
    EXPECT_GT(drip.reads, 10) << "the page arrives piece by piece";

    const RawResponse redirect = get("00301");
    EXPECT_EQ(redirect.status, 302);
    EXPECT_EQ(redirect.header("Location"), pageTarget("03053"));
    const QByteArray loopTarget = "http://somewhere.example" + pageTarget("00310");
    const RawResponse loop = rawGet(site.port(), loopTarget);
    EXPECT_EQ(loop.status, 302);
    EXPECT_EQ(loop.header("Location"), pageTarget("00310"));

    EXPECT_EQ(get("00128").body, highBytesPage());
    EXPECT_EQ(get("00500").body, breaksOffInFiguresPage());
    EXPECT_EQ(get("00501").body, breaksOffInIncomePage());
}

TEST(SiteProcess, SigintStopsItCleanlyInTheMiddleOfASlowDrip)
{
    SiteProcess site;
    RawResponse drip;
    std::thread client([&] { drip = rawGet(site.port(), pageTarget("00003")); });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const ChildRun stopped = site.stop(SIGINT);
    client.join();
    EXPECT_TRUE(stopped.exitedNormally);
    EXPECT_EQ(stopped.exitCode, 0);
    EXPECT_TRUE(stopped.err.endsWith("stopped (SIGINT)\n"));
    EXPECT_LT(drip.body.size(), faultTestPage("00003", "Slow Drip Test Page").size());
}

TEST(SiteExecutable, HelpUsageErrorsAndABusyPortEachHaveTheirStatus)
{
    const ChildRun help = runChild(ZD_SITE_EXECUTABLE, {"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out, siteHelpText().toUtf8());
    EXPECT_EQ(runChild(ZD_SITE_EXECUTABLE, {"--version"}).out, siteVersionText().toUtf8());
    EXPECT_TRUE(siteVersionText().startsWith("zipdemographics-site " + programVersion() + '\n'));

    for (const QStringList& wrong :
         QList<QStringList>{{"--bogus"}, {"--port", "x"}, {"--log", "/no/such/folder/site.log"},
                            {"--latency", "-5"}, {"--robots", "/no/such/robots.txt"}}) {
        const ChildRun run = runChild(ZD_SITE_EXECUTABLE, wrong);
        EXPECT_EQ(run.exitCode, 2) << wrong.join(' ').toStdString();
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_TRUE(run.err.startsWith("zipdemographics-site: "));
    }

    SiteProcess first;
    const ChildRun second = runChild(ZD_SITE_EXECUTABLE, {"--port", QString::number(first.port())});
    EXPECT_EQ(second.exitCode, 1);
    EXPECT_TRUE(second.err.contains("cannot listen on 127.0.0.1:" + QByteArray::number(first.port())));
}

}  // namespace
}  // namespace zd::test
