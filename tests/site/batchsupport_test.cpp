// What the sample site offers for trying long, parallel, polite runs offline:
// a page for every ZIP code, latency that does not serialize clients, kept-alive
// connections, robots.txt, transient faults, and a log that shows all of it.
#include "core/windows1252.h"
#include "retrieval/demographicsparser.h"
#include "site/samplepages.h"
#include "tests/support/rawhttp.h"
#include "tests/support/sitelog.h"
#include "tests/support/siteprocess.h"
#include "tests/support/wholefile.h"

#include <QDateTime>
#include <QLocale>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <signal.h>

#include <thread>
#include <vector>

namespace zd::test {
namespace {

QByteArray pageTarget(const QByteArray& zip) { return "/index.php?zip=" + zip + "&amppagetype=main"; }

QByteArray keptAliveGet(const QByteArray& target, bool lastOne = false)
{
    return "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n"
           + (lastOne ? "Connection: close\r\n" : "") + "\r\n";
}

class SiteWithLog : public ::testing::Test {
protected:
    QString logPath() const { return m_folder.filePath("site.log"); }
    QStringList withLog(QStringList arguments) const { return arguments << "--log" << logPath(); }

    QTemporaryDir m_folder;
};

TEST(SiteEveryZip, EveryFiveDigitCodeGetsAnInventedPlaceThatIsTheSameEachTime)
{
    SiteProcess everyZip({"--every-zip"});
    SiteProcess plain;
    QSet<QString> names;
    for (const char* zip : {"12345", "12346", "99999", "00000", "55555"}) {
        const RawResponse page = rawGet(everyZip.port(), pageTarget(zip));
        EXPECT_EQ(page.status, 200);
        EXPECT_EQ(page.body, encodeWindows1252(*everyZipPage(zip))) << zip;
        const std::optional<QString> name = extractLocationName(decodeWindows1252(page.body));
        ASSERT_TRUE(name.has_value()) << zip;
        names.insert(*name);
        EXPECT_EQ(rawGet(plain.port(), pageTarget(zip)).body, encodeWindows1252(unknownZipPage(zip)));
    }
    EXPECT_EQ(names.size(), 5) << "different codes, different places";
    EXPECT_EQ(madeUpNameCell("12345"), madeUpNameCell("12345"));
    EXPECT_EQ(rawGet(everyZip.port(), pageTarget("03053")).body, encodeWindows1252(*samplePage("03053")));
    for (const char* notFiveDigits : {"1234", "123456", "1234a", "%2012345"})
        EXPECT_EQ(rawGet(everyZip.port(), pageTarget(notFiveDigits)).body.contains("class=\"missing\""), true)
            << notFiveDigits;
}

TEST_F(SiteWithLog, LatencyDelaysEachAnswerWithoutHoldingUpOtherConnections)
{
    constexpr int kClients = 16;
    SiteProcess site(withLog({"--every-zip", "--latency", "400"}));
    QList<RawResponse> responses(kClients);
    std::vector<std::thread> clients;
    for (int i = 0; i < kClients; ++i)
        clients.emplace_back([&, i] { responses[i] = rawGet(site.port(), pageTarget(QByteArray::number(10000 + i))); });
    for (std::thread& client : clients)
        client.join();
    site.stop(SIGTERM);
    for (const RawResponse& response : responses)
        EXPECT_EQ(response.status, 200);

    const QList<SiteLogLine> log = readSiteLog(logPath());
    ASSERT_EQ(log.size(), kClients);
    QDateTime lastArrival = log.first().arrived;
    QDateTime firstAnswer = log.first().arrived.addMSecs(log.first().tookMs);
    for (const SiteLogLine& line : log) {
        EXPECT_GE(line.tookMs, 400);
        lastArrival = std::max(lastArrival, line.arrived);
        firstAnswer = std::min(firstAnswer, line.arrived.addMSecs(line.tookMs));
    }
    EXPECT_LT(lastArrival, firstAnswer) << "every request was being answered at the same time";
}

TEST_F(SiteWithLog, AConnectionServesRequestsUntilTheClientAsksToCloseAndTheLogShowsIt)
{
    SiteProcess site(withLog({}));
    const QByteArray answers = rawExchange(site.port(), keptAliveGet(pageTarget("03053"))
                                                            + keptAliveGet("/robots.txt")
                                                            + keptAliveGet(pageTarget("01830"), true));
    rawGet(site.port(), "/");
    site.stop(SIGTERM);

    const QByteArray page03053 = encodeWindows1252(*samplePage("03053"));
    const QByteArray page01830 = encodeWindows1252(*samplePage("01830"));
    EXPECT_EQ(answers.count("HTTP/1.1 "), 3);
    EXPECT_EQ(answers.count("Connection: keep-alive\r\n"), 2);
    EXPECT_EQ(answers.count("Connection: close\r\n"), 1);
    EXPECT_TRUE(answers.contains("\r\n\r\n" + page03053 + "HTTP/1.1 404 Not Found\r\n"));
    EXPECT_TRUE(answers.endsWith("\r\n\r\n" + page01830));

    const QList<SiteLogLine> log = readSiteLog(logPath());
    ASSERT_EQ(log.size(), 4);
    EXPECT_EQ(log[0].connection, log[2].connection);
    EXPECT_NE(log[3].connection, log[0].connection);
    EXPECT_EQ(log[1].target, "/robots.txt");
    EXPECT_EQ(log[1].status, 404);
    EXPECT_EQ(log[2].bytes, page01830.size());
    EXPECT_LE(log[0].arrived, log[1].arrived);
}

TEST(SiteRobots, RobotsTxtIsTheGivenFileByteForByte)
{
    QTemporaryDir folder;
    const QString robots = folder.filePath("robots.txt");
    const QByteArray rules = "User-agent: *\nDisallow: /index.php\nCrawl-delay: 2\n";
    ASSERT_TRUE(writeWholeFile(robots, rules));
    SiteProcess site({"--robots", robots});
    const RawResponse served = rawGet(site.port(), "/robots.txt");
    EXPECT_EQ(served.status, 200);
    EXPECT_EQ(served.header("Content-Type"), "text/plain");
    EXPECT_EQ(served.body, rules);
    EXPECT_EQ(rawGet(site.port(), pageTarget("03053")).status, 200) << "the site does not obey it itself";
}

// The tries are counted per ZIP code, so the modes are asked for interleaved.
TEST(SiteTransientFaults, EachStrikesOnItsTriesAndThePageComesOnTheOthers)
{
    SiteProcess site;
    const auto get = [&](const char* zip) { return rawGet(site.port(), pageTarget(zip)); };
    QList<int> unavailable;
    QList<int> tooMany;
    QList<int> reset;
    for (int attempt = 1; attempt <= 4; ++attempt) {
        unavailable.append(get("00503").status);
        tooMany.append(get("00429").status);
        reset.append(get("00104").status);
    }
    EXPECT_EQ(unavailable, QList<int>({503, 503, 200, 503}));
    EXPECT_EQ(tooMany, QList<int>({429, 200, 429, 200}));
    EXPECT_EQ(reset, QList<int>({0, 200, 0, 200})) << "0: nothing but the reset arrived";

    EXPECT_EQ(get("00429").header("Retry-After"), "1");
    EXPECT_EQ(get("00104").status, 0);
    EXPECT_TRUE(get("00104").body.contains("Reset Test Page"));
    const RawResponse dated = get("00430");
    EXPECT_EQ(dated.status, 429);
    const QDateTime until = QLocale::c().toDateTime(QString::fromLatin1(dated.header("Retry-After")),
                                                    "ddd, dd MMM yyyy hh:mm:ss 'GMT'");
    ASSERT_TRUE(until.isValid()) << dated.header("Retry-After").constData();
    const qint64 ahead = QDateTime::currentDateTimeUtc().secsTo(QDateTime(until.date(), until.time(), Qt::UTC));
    EXPECT_GE(ahead, 0);
    EXPECT_LE(ahead, 3);
    EXPECT_EQ(get("00430").status, 200);
}

}  // namespace
}  // namespace zd::test
