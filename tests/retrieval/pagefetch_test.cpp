#include "retrieval/pagefetch.h"

#include "core/siteconfig.h"
#include "core/windows1252.h"
#include "retrieval/requesturl.h"
#include "site/loopbackhttpserver.h"
#include "tests/support/scopedenvironment.h"
#include "tests/support/testsite.h"

#include <gtest/gtest.h>

#include <memory>

namespace zd {
namespace {
using namespace std::chrono_literals;

QByteArray okHead(qsizetype contentLength)
{
    return "HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(contentLength)
        + "\r\nConnection: close\r\n\r\n";
}

QByteArray patternBytes(qsizetype size)
{
    QByteArray bytes;
    for (qsizetype i = 0; i < size; ++i)
        bytes.append(static_cast<char>('a' + (i * 7 + i / 26) % 26));
    return bytes;
}

QByteArray everyByteValue()
{
    QByteArray bytes;
    for (int value = 0; value < 256; ++value)
        bytes.append(static_cast<char>(value));
    return bytes;
}

class FetchAgainstServer : public ::testing::Test {
protected:
    QString serve(LoopbackHttpServer::Handler handler)
    {
        m_server = std::make_unique<LoopbackHttpServer>(std::move(handler));
        EXPECT_TRUE(m_server->listen()) << m_server->errorString().constData();
        return QString::fromLatin1(m_server->baseUrl());
    }
    void TearDown() override
    {
        m_server.reset();
        setFetchTimeouts({});
        setDemographicsHostOverride({});
    }
    std::unique_ptr<LoopbackHttpServer> m_server;
};

// --- Bodies arrive whole and decoded, whatever their size and chunking.

struct BodyCase {
    const char* name;
    QByteArray body;
    qsizetype chunkSize;
    std::chrono::milliseconds pause;
};

class FetchBodyDelivery : public FetchAgainstServer,
                          public ::testing::WithParamInterface<BodyCase> {};

TEST_P(FetchBodyDelivery, ComesBackWholeAndDecoded)
{
    const BodyCase& c = GetParam();
    const QString base = serve([&c](const HttpRequest&, HttpConnection& connection) {
        connection.send(okHead(c.body.size()));
        connection.sendInChunks(c.body, c.chunkSize, c.pause);
    });
    const FetchOutcome outcome = fetchPageWithOutcome(base + "/page");
    EXPECT_EQ(outcome.body, decodeWindows1252(c.body));
    EXPECT_TRUE(outcome.complete) << outcome.transportError.toStdString();
    EXPECT_EQ(outcome.httpStatus, 200);
}

INSTANTIATE_TEST_SUITE_P(
    Bodies, FetchBodyDelivery,
    ::testing::Values(BodyCase{"Empty", QByteArray(), 1, 0ms},
                      BodyCase{"Exactly2048Bytes", patternBytes(2048), 2048, 0ms},
                      BodyCase{"SeveralThousandInUnevenChunks", patternBytes(7001), 1500, 2ms},
                      BodyCase{"OneByteChunks", patternBytes(120), 1, 1ms},
                      BodyCase{"EveryByteValueInSmallChunks", everyByteValue(), 7, 1ms}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FetchAgainstServer, BytesAbove127BecomeWindows1252Characters)
{
    const QString base = serve([](const HttpRequest&, HttpConnection& connection) {
        connection.sendResponse(200, "\x80\x81\xe9\xff");
    });
    EXPECT_EQ(FetchPage(base + "/"), QString::fromUtf16(u"\u20ac\u0081\u00e9\u00ff"));
}

TEST_F(FetchAgainstServer, ErrorStatusGivesItsBody)
{
    const QString base = serve([](const HttpRequest&, HttpConnection& connection) {
        connection.sendResponse(404, "<html>No such page</html>");
    });
    const FetchOutcome outcome = fetchPageWithOutcome(base + "/missing");
    EXPECT_EQ(outcome.body, "<html>No such page</html>");
    EXPECT_EQ(outcome.httpStatus, 404);
    EXPECT_TRUE(outcome.complete);
}

// --- Failures give the text read so far and say so to callers that ask.

TEST_F(FetchAgainstServer, BodyCutOffMidwayGivesTheTextSoFar)
{
    const QByteArray body = patternBytes(5000);
    const QString base = serve([body](const HttpRequest&, HttpConnection& connection) {
        connection.send(okHead(body.size()) + body.left(3000));
        connection.close();
    });
    const FetchOutcome outcome = fetchPageWithOutcome(base + "/cut");
    EXPECT_EQ(outcome.body, QString::fromLatin1(body.left(3000)));
    EXPECT_FALSE(outcome.complete);
    EXPECT_FALSE(outcome.transportError.isEmpty());
    EXPECT_EQ(FetchPage(base + "/cut"), QString::fromLatin1(body.left(3000)));
}

TEST_F(FetchAgainstServer, StallMidBodyGivesUpAfterTheStallTimeOut)
{
    setFetchTimeouts({.connectSeconds = 5, .stallSeconds = 1});
    const QByteArray body = patternBytes(900);
    const QString base = serve([body](const HttpRequest&, HttpConnection& connection) {
        connection.send(okHead(body.size()) + body.left(400));
        // Had the fetch waited, it would get the rest and be complete.
        if (connection.stall(6s))
            connection.send(body.mid(400));
    });
    const FetchOutcome outcome = fetchPageWithOutcome(base + "/stall");
    EXPECT_EQ(outcome.body, QString::fromLatin1(body.left(400)));
    EXPECT_FALSE(outcome.complete);
}

TEST_F(FetchAgainstServer, StallBeforeAnyResponseGivesEmptyText)
{
    setFetchTimeouts({.connectSeconds = 5, .stallSeconds = 1});
    const QString base = serve([](const HttpRequest&, HttpConnection& connection) {
        if (connection.stall(6s))
            connection.sendResponse(200, "late");
    });
    const FetchOutcome outcome = fetchPageWithOutcome(base + "/silent");
    EXPECT_EQ(outcome.body, QString());
    EXPECT_FALSE(outcome.complete);
}

TEST(FetchWithoutServer, RefusedConnectionGivesEmptyTextAndAReason)
{
    const QString url = QStringLiteral("http://127.0.0.1:%1/").arg(test::refusingLoopbackPort());
    const FetchOutcome outcome = fetchPageWithOutcome(url);
    EXPECT_EQ(outcome.body, QString());
    EXPECT_FALSE(outcome.complete);
    EXPECT_FALSE(outcome.transportError.isEmpty());
    EXPECT_EQ(outcome.httpStatus, 0);
    EXPECT_EQ(FetchPage(url), QString());
}

// --- Redirects are followed, but not forever.

TEST_F(FetchAgainstServer, RedirectGivesTheFinalPageOnly)
{
    const QString base = serve([](const HttpRequest& request, HttpConnection& connection) {
        if (request.target == "/start")
            connection.sendRedirect(302, "/final");
        else
            connection.sendResponse(200, "final page");
    });
    EXPECT_EQ(FetchPage(base + "/start"), "final page");
    const QList<HttpRequest> requests = m_server->requests();
    ASSERT_EQ(requests.size(), 2);
    EXPECT_EQ(requests[1].target, "/final");
    EXPECT_EQ(requests[1].header("User-Agent"), "Harrowfen");
}

TEST_F(FetchAgainstServer, RedirectLoopEndsAfterTenRedirects)
{
    const QString base = serve([](const HttpRequest&, HttpConnection& connection) {
        connection.sendRedirect(302, "/loop");
    });
    const FetchOutcome outcome = fetchPageWithOutcome(base + "/loop");
    EXPECT_EQ(outcome.body, QString());
    EXPECT_FALSE(outcome.complete);
    EXPECT_EQ(m_server->requestCount(), 11);  // the first request and ten redirects
}

// --- The request itself.

TEST_F(FetchAgainstServer, RequestCarriesAgentAndNoCacheHeaders)
{
    const QString base = serve([](const HttpRequest&, HttpConnection& connection) {
        connection.sendResponse(200, "ok");
    });
    FetchPage(base + "/index.php?zip=12345&amppagetype=main");
    ASSERT_EQ(m_server->requestCount(), 1);
    const HttpRequest request = m_server->requests().first();
    EXPECT_EQ(request.method, "GET");
    EXPECT_EQ(request.target, "/index.php?zip=12345&amppagetype=main");
    EXPECT_EQ(request.header("User-Agent"), "Harrowfen");
    EXPECT_EQ(request.header("Cache-Control"), "no-cache");
    EXPECT_EQ(request.header("Pragma"), "no-cache");
}

TEST_F(FetchAgainstServer, ProxyFromTheEnvironmentGetsTheAbsoluteUrl)
{
    const QString proxy = serve([](const HttpRequest&, HttpConnection& connection) {
        connection.sendResponse(200, "from the proxy");
    });
    test::ScopedEnvironmentVariable httpProxy("http_proxy", proxy.toLatin1());
    const QString url = QStringLiteral("http://zipdemographics.example.net/index.php?zip=02134&amppagetype=main");
    EXPECT_EQ(FetchPage(url), "from the proxy");
    ASSERT_EQ(m_server->requestCount(), 1);
    EXPECT_EQ(m_server->requests().first().target, url.toLatin1());
}

struct UrlCase {
    const char* name;
    QString zip;
    QByteArray zipAsSent;
};

class RequestUrlBytes : public FetchAgainstServer, public ::testing::WithParamInterface<UrlCase> {};

TEST_P(RequestUrlBytes, ReachTheServerAsWritten)
{
    const QString base = serve([](const HttpRequest&, HttpConnection& connection) {
        connection.sendResponse(200, "ok");
    });
    setDemographicsHostOverride(QString::fromLatin1(m_server->hostAndPort()));
    FetchPage(requestUrl(GetParam().zip));
    ASSERT_EQ(m_server->requestCount(), 1);
    EXPECT_EQ(m_server->requests().first().target,
              "/index.php?zip=" + GetParam().zipAsSent + "&amppagetype=main");
}

INSTANTIATE_TEST_SUITE_P(
    Zips, RequestUrlBytes,
    ::testing::Values(UrlCase{"FiveDigits", "02134", "02134"},
                      UrlCase{"Empty", "", ""},
                      UrlCase{"Letters", "abcde", "abcde"},
                      UrlCase{"SpacesEncoded", " 12 45 ", "%2012%2045%20"},
                      UrlCase{"ControlBytesEncoded", "\t1\x01" "2\x7f", "%091%012%7F"},
                      UrlCase{"PercentLeftAlone", "%41bc", "%41bc"},
                      UrlCase{"AccentAsWindows1252Byte", QString::fromUtf16(u"caf\u00e9"), "caf\xe9"},
                      UrlCase{"EuroAsWindows1252Byte", QString::fromUtf16(u"\u20ac1"), "\x80" "1"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zd
